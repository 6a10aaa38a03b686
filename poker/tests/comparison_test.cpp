#include <gtest/gtest.h>

#include <vector>

#include "poker/hand_value.h"

namespace {

// Which hand wins, and ties without a log hook, are checked on every hand in
// classification_test; here only what that run cannot see: the log.
TEST(Comparison, OnlyAFullTieIsLoggedAndItIsNoWin) {
    std::vector<std::string> lines;
    const auto hand = [&lines](std::vector<std::int16_t> cards) {
        poker::clsHandValue hv([&lines](const std::string& line) { lines.push_back(line); });
        hv.LoadCards(cards);
        hv.Check_Hand();
        return hv;
    };
    EXPECT_EQ(hand({0, 2, 4, 6, 9}).WinsOf(hand({8, 22, 36, 50, 12})), true);  // a flush beats a straight
    EXPECT_TRUE(lines.empty());
    // straights to the ten in different suits
    EXPECT_EQ(hand({4, 5, 6, 7, 21}).WinsOf(hand({17, 18, 19, 20, 34})), std::nullopt);
    EXPECT_EQ(lines, std::vector<std::string>{"WinsOf untermined"});
}

}  // namespace
