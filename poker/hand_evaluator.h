#pragma once
// Classification of five cards into one of nine categories with a six-entry
// score and a readable name. Shared by the server's clsHandValue and the
// client's seat hand so both name hands identically.
//
// Every hand is looked up, not worked out: tables built on first use map the
// multiset of the five values (and whether the suits agree) to a class holding
// the score, the sorted values and the name. The classes are numbered in score
// order, so that number is also the hand's strength key.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

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

// The strength of five card codes (each 0..51, in any order) as one integer:
// a larger key wins, equal keys tie; the same order as comparing scores entry
// by entry. Cheap enough for a computer player's inner loop.
int handKey(const std::array<std::int16_t, 5>& cards);
int handKey(int c0, int c1, int c2, int c3, int c4);

class HandEvaluator {
public:
    // Position 0..4; anything else throws std::out_of_range before touching state.
    std::int16_t& card(int PosNo);
    std::int16_t card(int PosNo) const;
    std::int16_t HandValue(int PosNo) const;  // 0..12
    std::int16_t HandSuit(int PosNo) const;   // 1..4
    static std::string CharValue(std::int16_t val);

    // Fills the score and the key from the tables.
    void classify();
    // The category name followed by a blank and the text of each entry 1..5.
    std::string Name() const;
    // The same text without a copy; it lives as long as the program.
    std::string_view nameView() const;

    std::int16_t Value(int i) const;  // score entry 0..5, range-checked
    // All five cards at once, for callers that hold a whole hand.
    void setCards(const std::array<std::int16_t, 5>& cards) { cards_ = cards; }
    const Score& score() const { return score_; }
    const std::array<std::int16_t, 5>& SortedValues() const;
    // handKey of the classified cards; 0 (below every hand) before classify().
    int key() const { return key_; }

private:
    std::array<std::int16_t, 5> cards_{};
    Score score_{};
    int key_ = 0;
};

// The category's name; a straight flush to the ace is the "Royal Flush".
std::string categoryName(const Score& score);
std::string handName(const Score& score);

}  // namespace poker
