#pragma once
// The decisions of a computer player: which cards to exchange and what to
// answer to a BET prompt, from what a player at the table sees.
//
// A program keeps one TableView and one Player per table: SEAT sets `seat`;
// STARTGAME sets `cards` and calls newHand(), then sends EXCHANGE with
// discard(view).discards(); each table report line goes to apply(); the
// EXCHANGE answer sets `cards` again; BET is answered with bet(view).amount.

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "bot/hand_model.h"
#include "wire/parse.h"

namespace bot {

inline constexpr int kSeats = 6;
inline constexpr std::int32_t kAnte = 5;  // more than this in: raised or called a raise
inline constexpr int kMaxOwnRaises = 3;

// The table as the last table report showed it, with our seat and cards.
struct TableView {
    std::array<std::int32_t, kSeats> ante{};
    std::array<std::int32_t, kSeats> state{};  // wire::state numbers
    std::array<std::int32_t, kSeats> exchange{-1, -1, -1, -1, -1, -1};
    int seat = 0;  // ours, 0..5
    Cards cards{};
    // What each has left; everyone starts with 1000.
    std::array<std::int32_t, kSeats> bank{1000, 1000, 1000, 1000, 1000, 1000};

    // Takes one line of the table report (names play no part).
    void apply(const wire::srv::TableRow& row);
};

// One way to play, as numbers; the styles differ in nothing else.
struct Style {
    double raiseAt;      // win chance from which to raise for value
    double callPrice;    // times the pot-odds price a call needs (below 1 calls lighter)
    double betShare;     // a raise as a share of the pot, at most 1
    double bluffScale;   // 1 bluffs at the balanced rate, 0 never
    double raiserRange;  // the best share of his hands left to a player who has raised the pot
};
inline constexpr Style kSolid{0.70, 1.0, 1.0, 1.0, 0.5};
inline constexpr Style kLoose{0.60, 0.8, 1.0, 1.5, 0.7};
inline constexpr Style kTight{0.80, 1.25, 0.5, 0.5, 0.35};
std::optional<Style> styleNamed(std::string_view name);  // "solid", "loose", "tight"

struct DrawChoice {
    unsigned keep = kKeepAll;           // bit p set: keep the card at position p
    double winChance = 0.0;             // against the players still in the hand
    bool bluff = false;                 // standing pat on nothing
    std::vector<int> discards() const;  // the positions to exchange, ascending
};

// What to answer when the server refuses a bet (its limits depend on banks a
// player does not see): a raise becomes a call, a call a fold; a fold is final.
std::optional<std::int32_t> afterRefusal(std::int32_t refused);

struct BetChoice {
    std::int32_t amount = 0;  // the BET field: -1 folds, 0 calls, n raises the highest ante by n
    double winChance = 0.0;
    bool bluff = false;
};

class Player {
public:
    explicit Player(Style style = kSolid, std::uint64_t seed = 1) : style_(style), rng_(seed) {}

    // At every deal.
    void newHand() { raises_ = 0; }
    // The exchange that wins most often against the others still in the hand.
    DrawChoice discard(const TableView& table);
    // The answer to BET; a seat outside 0..5 throws std::out_of_range.
    BetChoice bet(const TableView& table);

private:
    std::vector<Opponent> opponents(const TableView& table) const;
    // How often to bluff so that bluffs make up the balanced share of bets of `size` into `pot`.
    double bluffRate(const std::vector<double>& chance, int group, double size, double pot) const;

    Style style_;
    Rng rng_;
    int raises_ = 0;
};

}  // namespace bot
