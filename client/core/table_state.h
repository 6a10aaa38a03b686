#pragma once
// What the client follows of its table beyond the classic seat cells: the
// seat on turn, the folded seats, the pot, the hands shown at a showdown and
// the history of the running hand. It draws the marks, the pot line and the
// Folded and Shown cells through the view; the classic cells stay with
// ClientProtocol.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>

#include "client/core/hand_history.h"
#include "client/core/ports.h"
#include "wire/parse.h"

namespace client {

class TableState {
public:
    // The view must outlive the state.
    explicit TableState(IClientView& view) : view_(view) {}

    // This player's seat, as SEAT reports it.
    void seat(std::int16_t mySeat);
    // A hand dealt to this player: the last hand's folds and turn mark go;
    // its showdown stays until the new hand's betting.
    void deal(const wire::Hand& cards);
    void exchanged(const wire::Hand& cards) { history_.exchanged(cards); }
    // One line of a table report, after its cells are written. Rises of the
    // antes during a hand are its bets.
    void report(const wire::srv::TableRow& row);
    // Whether the last report named a player in this seat.
    bool seated(std::size_t seat) const { return seat < seats_.size() && !seats_[seat].name.empty(); }
    // The State cell: "Folded" for a seat that folded in the running hand.
    std::string stateText(std::size_t seat, std::int32_t state) const;

    void turn(const wire::srv::Turn& m);
    void fold(std::int16_t seat);
    void showdown(const wire::srv::Showdown& m);
    // Marks the winner; returns the outcome ("ann wins 20 with Two Pairs K 7 3"),
    // or nothing for a seat or amount no hand has.
    std::string result(const wire::srv::Result& m);
    bool hasResult() const { return !result_.empty(); }
    // Who won, when no RESULT said more: "ann wins".
    std::string winnerText(const wire::srv::Winner& m) const;
    // The WINNER line: the hand is over. Returns its history entry.
    std::string handEnded(const wire::srv::Winner& m);
    // The player leaves the table: everything about it is forgotten.
    void leave();

    // What this player must add to call now; 0 when nothing is owed.
    std::int32_t toCall() const;
    // The same, but -1 when he is not in the running hand.
    std::int32_t owed() const;

private:
    struct Seat {
        std::string name;
        std::int32_t ante = 0;
        std::int32_t state = 0;
        std::int32_t drawn = -1;
        bool folded = false;
        bool shown = false;
        SeatMark mark = SeatMark::None;
    };

    static bool valid(int seat) { return seat >= 0 && seat < wire::kSeatCount; }
    std::string who(int seat) const;
    void setMark(int seat, SeatMark mark);
    void clearTurnMark();
    void clearHand();
    void clearShowdown();
    void vacate(int seat);
    void closeTurn();
    void bet(int seat, std::int32_t ante, std::int32_t& highest);
    void updatePot();

    IClientView& view_;
    std::array<Seat, wire::kSeatCount> seats_{};
    std::int16_t mySeat_ = 0;
    bool running_ = false;                 // between a deal (or a TURN) and the WINNER line
    bool antesOfDeal_ = false;             // the next SEAT_ANTE is the deal's: antes, not bets
    std::int64_t departed_ = 0;            // stakes of those who left the running hand
    bool betMade_ = false;                 // a later rise above the highest is a raise
    std::optional<wire::srv::Turn> turn_;  // the running hand's latest TURN
    bool turnActed_ = false;               // the seat on turn has bet or folded since
    std::pair<std::int32_t, std::int32_t> potShown_{-1, 0};
    std::string result_;
    bool staleShowdown_ = false;  // the shown cells and winner's mark are the last hand's
    HandHistory history_;
};

}  // namespace client
