#include <gtest/gtest.h>

#include <random>

#include "bot/player.h"
#include "bot/tests/notation.h"
#include "poker/hand_value.h"

namespace {

using namespace bot;

poker::clsHandValue classified(const Cards& cards) {
    poker::clsHandValue hv;
    hv.LoadCards(cards);
    hv.Check_Hand();
    return hv;
}

TEST(Strength, OrdersHandsAsTheShowdownDoes) {
    // Seven values in a row (past the ace too) in two suits, so every category comes up often.
    std::mt19937 rng(5);
    for (int trial = 0; trial < 20000; ++trial) {
        std::vector<poker::CardCode> pool;
        const int low = static_cast<int>(rng() % 13), suit = static_cast<int>(rng() % 3);
        for (int v = low; v < low + 7; ++v)
            for (int s = suit; s < suit + 2; ++s)
                pool.push_back(static_cast<poker::CardCode>(s * 13 + v % 13));
        Cards a{}, b{};
        std::shuffle(pool.begin(), pool.end(), rng);
        std::copy_n(pool.begin(), 5, a.begin());
        std::shuffle(pool.begin(), pool.end(), rng);
        std::copy_n(pool.begin(), 5, b.begin());
        const auto ha = classified(a), hb = classified(b);
        const int expected = ha.WinsOf(hb).value_or(false) ? 1 : hb.WinsOf(ha).value_or(false) ? -1 : 0;
        const int sa = strength(a), sb = strength(b);
        ASSERT_TRUE(sa >= 0 && sa < kStrengthCount && categoryOf(sa) == ha.Value(0)) << ha.HandName;
        ASSERT_EQ((sa > sb) - (sa < sb), expected) << ha.HandName << " against " << hb.HandName;
    }
}

TEST(Draw, ExactImprovementOdds) {
    struct Row {
        const char* cards;
        unsigned keep;
        int atLeast;  // the category that counts as improved
        int improved, total;
        double chance;
    };
    const Row rows[] = {
        {"9c 9d Kh 5s 2c", 0x03, poker::TwoPairs, 4656, 16215, 0.2871},
        {"Kh Th 6h 3h 8c", 0x0F, poker::Flush, 9, 47, 0.1915},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.cards);
        int improved = 0, total = 0;
        forEachDraw(hand(row.cards), row.keep, [&](const Cards& h) {
            improved += classified(h).Value(0) >= row.atLeast;
            ++total;
        });
        EXPECT_EQ(total, row.total);
        EXPECT_EQ(improved, row.improved);
        EXPECT_NEAR(double(improved) / total, row.chance, 5e-5);
    }
}

TEST(Draw, FollowsTheDrawTableAtATableOfFour) {
    struct Row {
        const char* cards;
        unsigned keep;
    };
    const Row rows[] = {
        {"5c 5d Jh 8s 2c", 0x03},  // a pair: draw three
        {"Jc Jd 4h 4s 2c", 0x0F},  // two pairs: draw one
        {"7c 7d 7h 4s 2c", 0x07},  // trips: draw two
        {"Kh Th 6h 3h 8c", 0x0F},  // four to a flush: draw one
        {"6c 7d 8h 9s 2c", 0x0F},  // open-ended four to a straight: draw one
        {"As 9d 7c 4h 2d", 0x01},  // nothing: keep the ace, draw four
        {"8c 9d Th Js Qc", 0x1F},  // a straight: stand pat
    };
    Style honest = kSolid;
    honest.bluffScale = 0;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.cards);
        TableView table;  // we sit at seat 0 and exchange first
        table.state = {4, 4, 4, 4, 0, 0};
        table.cards = hand(row.cards);
        EXPECT_EQ(Player(honest).discard(table).keep, row.keep);
    }
}

}  // namespace
