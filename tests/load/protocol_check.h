#pragma once
// What a player may receive from the server, checked line by line: the
// fields of every message, the order of the five report lines, the card
// codes, and the winner against the hands shown.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace load {

using Hand = std::array<std::int16_t, 5>;

// A table as the last report showed it.
struct TableReport {
    std::array<std::int32_t, 6> ante{};
    std::array<std::string, 6> name{};
    std::array<std::int32_t, 6> state{};
    std::array<std::int32_t, 6> exchange{};
    std::array<std::int32_t, 6> bank{};

    // Banks and antes of the seats that hold a player.
    std::int64_t chipsOfPlayers() const;
    int players() const;
    // Seats whose player is in the betting (states 5 and 6).
    std::vector<int> bettingSeats() const;
};

std::vector<std::string> splitFields(const std::string& line);
// Decimal digits with an optional minus sign and nothing else.
std::optional<std::int32_t> strictNumber(const std::string& field);

class LineChecker {
public:
    // Checks one received line (without CR LF). Problems are collected in errors().
    void check(const std::string& line);

    const std::vector<std::string>& errors() const { return errors_; }
    void fail(const std::string& what) { errors_.push_back(what); }

    // The last complete table report, and whether the last line completed one.
    const TableReport& report() const { return complete_; }
    bool reportJustCompleted() const { return justCompleted_; }
    int reportsSeen() const { return reportsSeen_; }

    // The player's own hand as last dealt or exchanged.
    const Hand& hand() const { return hand_; }
    bool hasHand() const { return hasHand_; }

    // The fields of the last line.
    const std::vector<std::string>& fields() const { return fields_; }

private:
    void checkCards(const std::string& line);
    void checkSeatLine(const std::string& line, int stage);

    std::vector<std::string> errors_;
    std::vector<std::string> fields_;
    TableReport building_;
    TableReport complete_;
    int stage_ = 0;  // report lines seen so far in the report being read
    bool justCompleted_ = false;
    int reportsSeen_ = 0;
    Hand hand_{};
    bool hasHand_ = false;
};

// Whether `winner` is right for a hand that ended with `before` as the last
// report, given every seat's hand (nothing for seats nobody knows). A hand
// ended by folds has one betting seat left, which must be the winner; a
// showdown goes to the best hand among the betting seats, the lowest seat on
// equal hands. Returns the problem, or nothing.
std::optional<std::string> verifyWinner(const TableReport& before, int winner,
                                        const std::array<std::optional<Hand>, 6>& hands);

}  // namespace load
