#pragma once
// Classification of five cards into one of nine categories with a six-entry
// score and a readable name. Shared by the server's clsHandValue and the
// client's seat hand so both name hands identically.

#include <array>
#include <cstdint>
#include <string>

#include "poker/cards.h"

namespace poker {

enum Category : std::int16_t {
    HighCard = 1,
    Pair = 2,
    TwoPairs = 3,
    ThreeOfAKind = 4,
    Straight = 5,
    Flush = 6,
    FullHouse = 7,
    FourOfAKind = 8,
    StraightFlush = 9,
};

using Score = std::array<std::int16_t, 6>;

class HandEvaluator {
public:
    // Position 0..4; anything else throws std::out_of_range before touching state.
    std::int16_t& card(int PosNo);
    std::int16_t card(int PosNo) const;
    std::int16_t HandValue(int PosNo) const;  // 0..12
    std::int16_t HandSuit(int PosNo) const;   // 1..4
    static std::string CharValue(std::int16_t val);

    // Sorts, runs the nine tests from the strongest down and fills the score.
    void Classify();
    // The category name followed by a blank and the text of each entry 1..5.
    std::string Name() const;

    std::int16_t Value(int i) const;  // score entry 0..5, range-checked
    // All five cards at once, for callers that hold a whole hand.
    void SetCards(const std::array<std::int16_t, 5>& cards) { cards_ = cards; }
    const Score& score() const { return score_; }
    const std::array<std::int16_t, 5>& SortedValues() const { return sorted_; }

private:
    using Counts = std::array<std::int8_t, kValuesPerSuit>;

    void SortValues();
    Counts countValues() const;
    // Runs the flush test first; `flush` tells whether it passed, in which
    // case its score stands when the straight test then fails.
    bool CheckStraightFlush(bool& flush);
    bool CheckFourOfAKind(const Counts& n);
    bool CheckFullHouse(const Counts& n);
    bool CheckFlush();
    bool CheckStraight();
    bool CheckThreeOfAKind(const Counts& n);
    bool CheckTwoPairs(const Counts& n);
    bool CheckPair(const Counts& n);
    bool CheckHighCard();

    std::array<std::int16_t, 5> cards_{};
    std::array<std::int16_t, 5> sorted_{};
    Score score_{};
};

// The category's name; a straight flush to the ace is the "Royal Flush".
std::string categoryName(const Score& score);
std::string handName(const Score& score);

}  // namespace poker
