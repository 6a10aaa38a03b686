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
    // Seven values in a row (past the ace too) in two suits: every category comes up often.
    std::mt19937 rng(5);
    for (int trial = 0; trial < 20000; ++trial) {
        std::vector<poker::CardCode> pool;
        const int low = static_cast<int>(rng() % 13), suit = static_cast<int>(rng() % 3);
        for (int i = 0; i < 14; ++i)
            pool.push_back(static_cast<poker::CardCode>((suit + i % 2) * 13 + (low + i / 2) % 13));
        auto deal = [&] {
            std::shuffle(pool.begin(), pool.end(), rng);
            return Cards{pool[0], pool[1], pool[2], pool[3], pool[4]};
        };
        const Cards a = deal(), b = deal();
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
        int atLeast, improved, total;  // improved: a final hand of category atLeast or better
    } rows[] = {
        {"9c 9d Kh 5s 2c", 0x03, poker::TwoPairs, 4656, 16215},  // a pair drawing three: 28.71 %
        {"Kh Th 6h 3h 8c", 0x0F, poker::Flush, 9, 47},           // four to a flush: 19.15 %
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.cards);
        int improved = 0, total = 0;
        forEachDraw(hand(row.cards), row.keep, [&](const Cards& h) {
            improved += classified(h).Value(0) >= row.atLeast;
            ++total;
        });
        EXPECT_EQ(improved, row.improved);
        EXPECT_EQ(total, row.total);
    }
}

TEST(Draw, FollowsTheDrawTableAtATableOfFour) {
    const std::pair<const char*, unsigned> rows[] = {
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
    for (const auto& [cards, keep] : rows) {
        SCOPED_TRACE(cards);
        TableView table;  // we sit at seat 0 and exchange first
        table.state = {4, 4, 4, 4, 0, 0};
        table.cards = hand(cards);
        EXPECT_EQ(Player(honest).discard(table).keep, keep);
    }
}

}  // namespace
