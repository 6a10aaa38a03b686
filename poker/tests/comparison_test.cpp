#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>
#include <vector>

#include "poker/hand_value.h"

namespace {

using poker::clsHandValue;

struct Logged {
    std::vector<std::string> lines;
    clsHandValue hand(const std::vector<std::int16_t>& cards) {
        clsHandValue hv([this](const std::string& line) { lines.push_back(line); });
        hv.LoadCards(cards);
        hv.Check_Hand();
        return hv;
    }
};

TEST(Comparison, DecidesByCategoryThenEntriesInOrder) {
    Logged log;
    struct Case {
        const char* what;
        std::vector<std::int16_t> winner, loser;
    };
    const std::vector<Case> cases = {
        {"flush over an ace-high straight", {0, 2, 4, 6, 9}, {8, 22, 36, 50, 12}},
        {"pair of kings: fourth kicker decides", {11, 24, 12, 5, 2}, {37, 50, 25, 18, 1}},
        {"ace-high flush over king-high flush", {12, 0, 1, 2, 4}, {24, 13, 14, 15, 17}},
        {"two pairs: kicker decides", {9, 22, 2, 15, 6}, {35, 48, 28, 41, 5}},
        {"full house: the three decide", {12, 25, 38, 0, 13}, {11, 24, 37, 10, 23}},
        {"royal flush over straight flush", {8, 9, 10, 11, 12}, {20, 21, 22, 23, 24}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto w = log.hand(c.winner);
        const auto l = log.hand(c.loser);
        EXPECT_EQ(w.WinsOf(l), std::optional<bool>(true));
        EXPECT_EQ(l.WinsOf(w), std::optional<bool>(false));
    }
    EXPECT_TRUE(log.lines.empty());
}

TEST(Comparison, EqualScoresTieAndLogOnce) {
    Logged log;
    // straights to the ten in different suits
    const auto a = log.hand({4, 5, 6, 7, 21});
    const auto b = log.hand({17, 18, 19, 20, 34});
    const auto result = a.WinsOf(b);
    EXPECT_FALSE(result.has_value());
    EXPECT_FALSE(result.value_or(false));  // a tie never counts as a win
    EXPECT_EQ(log.lines, std::vector<std::string>{"WinsOf untermined"});

    EXPECT_FALSE(a.WinsOf(a).has_value());
    EXPECT_EQ(log.lines.size(), 2u);

    clsHandValue silent;  // no log hook: a tie is still just a tie
    silent.LoadCards(std::vector<std::int16_t>{4, 5, 6, 7, 21});
    silent.Check_Hand();
    EXPECT_FALSE(silent.WinsOf(silent).has_value());
}

TEST(Comparison, AgreesWithComparingScoresOnRandomPairs) {
    std::mt19937 rng(20261206);
    std::vector<std::int16_t> deck(52);
    std::iota(deck.begin(), deck.end(), std::int16_t{0});
    int wins = 0, losses = 0, ties = 0;
    for (int i = 0; i < 20000; ++i) {
        std::shuffle(deck.begin(), deck.end(), rng);
        clsHandValue a, b;
        a.LoadCards(std::span(deck).subspan(0, 5));
        b.LoadCards(std::span(deck).subspan(5, 5));
        a.Check_Hand();
        b.Check_Hand();
        const auto r = a.WinsOf(b);
        if (a.score() > b.score()) {
            EXPECT_EQ(r, std::optional<bool>(true));
            ++wins;
        } else if (a.score() < b.score()) {
            EXPECT_EQ(r, std::optional<bool>(false));
            ++losses;
        } else {
            EXPECT_FALSE(r.has_value());
            ++ties;
        }
    }
    EXPECT_GT(wins, 0);
    EXPECT_GT(losses, 0);
}

}  // namespace
