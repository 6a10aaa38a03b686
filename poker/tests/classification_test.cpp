#include <gtest/gtest.h>

#include <map>
#include <set>
#include <stdexcept>
#include <vector>

#include "poker/hand_value.h"

namespace {

using poker::clsHandValue;
using poker::Score;

clsHandValue classified(const std::vector<std::int16_t>& cards) {
    clsHandValue hv;
    hv.LoadCards(cards);
    hv.Check_Hand();
    return hv;
}

TEST(Classification, NamedExamples) {
    struct Case {
        std::vector<std::int16_t> cards;
        Score score;
        std::string name;
    };
    const std::vector<Case> cases = {
        // two of clubs and diamonds, five of hearts, nine of spades, king of clubs
        {{0, 13, 29, 46, 11}, {2, 0, 11, 7, 3, -1}, "Pair 2 K 9 5 "},
        {{8, 9, 10, 11, 12}, {9, 12, -1, -1, -1, -1}, "Royal Flush A    "},
        {{0, 1, 2, 3, 4}, {9, 4, -1, -1, -1, -1}, "Straight Flush 6    "},
        // ace-two-three-four-five of clubs is a flush, not a straight flush
        {{12, 0, 1, 2, 3}, {6, 12, 3, 2, 1, 0}, "Flush A 5 4 3 2"},
        // the same ranks in mixed suits are a high card hand
        {{12, 13, 27, 41, 3}, {1, 12, 3, 2, 1, 0}, "High Card A 5 4 3 2"},
        // six to ten in mixed suits
        {{4, 18, 32, 46, 8}, {5, 8, -1, -1, -1, -1}, "Straight x    "},
        // three kings and two fives
        {{11, 24, 37, 3, 16}, {7, 11, 3, -1, -1, -1}, "Full House K 5   "},
        // jacks and fours with a seven
        {{9, 22, 2, 15, 5}, {3, 9, 2, 5, -1, -1}, "Two Pairs J 4 7  "},
        // four queens and a three
        {{10, 23, 36, 49, 1}, {8, 10, 1, -1, -1, -1}, "Four of a Kind Q 3   "},
        {{7, 20, 33, 0, 14}, {4, 7, 1, 0, -1, -1}, "Three of a Kind 9 3 2  "},
    };
    for (const auto& c : cases) {
        const auto hv = classified(c.cards);
        SCOPED_TRACE(c.name);
        EXPECT_EQ(hv.score(), c.score);
        EXPECT_EQ(hv.HandName, c.name);
    }
}

TEST(Classification, CardTextsAndAccessors) {
    EXPECT_EQ(clsHandValue::CharValue(0), "2");
    EXPECT_EQ(clsHandValue::CharValue(7), "9");
    EXPECT_EQ(clsHandValue::CharValue(8), "x");
    EXPECT_EQ(clsHandValue::CharValue(12), "A");
    EXPECT_EQ(clsHandValue::CharValue(-1), "");
    EXPECT_EQ(clsHandValue::CharValue(13), "x");

    clsHandValue hv;
    hv.card(2) = 51;  // ace of spades
    EXPECT_EQ(hv.card(2), 51);
    EXPECT_EQ(hv.HandValue(2), 12);
    EXPECT_EQ(hv.HandSuit(2), 4);
    EXPECT_EQ(hv.HandName, "");
}

TEST(Classification, OutOfRangeIsRefusedWithoutChange) {
    clsHandValue hv;
    hv.LoadCards(std::vector<std::int16_t>{0, 1, 2, 3, 5});
    hv.Check_Hand();
    EXPECT_THROW(hv.card(5), std::out_of_range);
    EXPECT_THROW(hv.card(-1), std::out_of_range);
    EXPECT_THROW(hv.HandValue(5), std::out_of_range);
    EXPECT_THROW(hv.HandSuit(-1), std::out_of_range);
    EXPECT_THROW(hv.Value(6), std::out_of_range);
    EXPECT_THROW(hv.Value(-1), std::out_of_range);
    EXPECT_THROW(hv.LoadCards(std::vector<std::int16_t>{1, 2, 3, 4}), std::out_of_range);
    EXPECT_EQ(hv.card(0), 0);
    EXPECT_EQ(hv.card(4), 5);
}

// Every five-card hand: the category counts follow from ace-high-only straights.
TEST(Classification, AllHandsHaveTheExpectedCategoryCounts) {
    std::map<int, long> perCategory;
    long royal = 0;
    std::set<Score> distinct;
    clsHandValue hv;
    for (int a = 0; a < 52; ++a)
        for (int b = a + 1; b < 52; ++b)
            for (int c = b + 1; c < 52; ++c)
                for (int d = c + 1; d < 52; ++d)
                    for (int e = d + 1; e < 52; ++e) {
                        hv.card(0) = static_cast<std::int16_t>(a);
                        hv.card(1) = static_cast<std::int16_t>(b);
                        hv.card(2) = static_cast<std::int16_t>(c);
                        hv.card(3) = static_cast<std::int16_t>(d);
                        hv.card(4) = static_cast<std::int16_t>(e);
                        hv.Check_Hand();
                        ++perCategory[hv.Value(0)];
                        if (hv.HandName.rfind("Royal Flush", 0) == 0) ++royal;
                        distinct.insert(hv.score());
                    }
    const std::map<int, long> expected = {
        {9, 36},    {8, 624},    {7, 3744},    {6, 5112},    {5, 9180},
        {4, 54912}, {3, 123552}, {2, 1098240}, {1, 1303560},
    };
    EXPECT_EQ(perCategory, expected);
    EXPECT_EQ(royal, 4);
    EXPECT_EQ(distinct.size(), 7462u);
}

}  // namespace
