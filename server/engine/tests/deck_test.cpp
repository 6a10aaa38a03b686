// The shuffle, the deal order and the card exchange.

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "server/session/tests/harness.h"

namespace server::testing {
namespace {

std::set<int> heldCards(Server& s, int players) {
    std::set<int> cards;
    for (int i = 1; i <= players; ++i)
        for (int p = 0; p < 5; ++p) cards.insert(s.client(i).card(p));
    return cards;
}

TEST(Deck, ClockSeededShuffleIsAPermutation) {
    Server s(ShuffleFn{});  // no random source given: the clock-seeded generator
    for (int round = 0; round < 20; ++round) {
        s.game(1).StartGame();
        auto sorted = s.game(1).Deck;
        std::sort(sorted.begin(), sorted.end());
        for (int i = 0; i < 52; ++i) ASSERT_EQ(sorted[i], i);
    }
}

TEST(Deck, DealsInSeatOrderSkippingEmptySeats) {
    Server s;
    s.seat({"ann", "bob", "cy"});
    s.disconnect(2);
    s.clearAll();
    s.send(3, "STARTGAME");
    const L deal = report("5 0 5", "ann - cy", "4 0 4", "", "995 1000 995");
    EXPECT_EQ(s.lines(1), L{"STARTGAME\t0\t1\t2\t3\t4"} + deal);
    EXPECT_EQ(s.lines(3), L{"STARTGAME\t5\t6\t7\t8\t9"} + deal);
}

TEST(Exchange, EmptyRepeatedAndNoPositions) {
    Server s;
    s.seat({"ann", "bob", "cy"});
    s.send(1, "STARTGAME");
    s.clearAll();
    // Empty fields count but draw nothing.
    s.send(1, "EXCHANGE\t1\t\t3");
    EXPECT_EQ(s.client(1).Exchange, 3);
    EXPECT_EQ(s.lines(1).back(), "EXCHANGE\t0\t15\t2\t16\t4");
    // A position listed twice is replaced twice; the second card stays.
    s.send(2, "EXCHANGE\t2\t2");
    EXPECT_EQ(s.client(2).Exchange, 2);
    EXPECT_EQ(s.lines(2).back(), "EXCHANGE\t5\t6\t18\t8\t9");
    // No positions keeps the hand.
    s.send(3, "EXCHANGE");
    EXPECT_EQ(s.client(3).Exchange, 0);
    EXPECT_EQ(s.lines(3).back(), "EXCHANGE\t10\t11\t12\t13\t14");
}

// When the stock runs out, this hand's discards become the new stock, so no
// card is ever read past the deck and no card is held twice.
TEST(Exchange, EmptyStockReshufflesTheDiscards) {
    Server s;
    s.seat({"a", "b", "c", "d", "e", "f"});
    s.send(1, "STARTGAME");
    for (int i = 1; i <= 6; ++i) {
        s.send(i, "EXCHANGE\t0\t1\t2\t3\t4");
        ASSERT_EQ(heldCards(s, 6).size(), 30u) << "after player " << i;
    }
    // A hundred positions in one request: still five distinct cards, nobody else's.
    std::string many = "EXCHANGE";
    for (int k = 0; k < 100; ++k) many += "\t" + std::to_string(k % 5);
    s.send(3, many);
    EXPECT_EQ(s.client(3).Exchange, 100);
    const auto held = heldCards(s, 6);
    EXPECT_EQ(held.size(), 30u);
    EXPECT_TRUE(*held.begin() >= 0 && *held.rbegin() < 52);
}

TEST(Exchange, ReplacementListedTwiceIsDiscardedToo) {
    Server s;
    s.seat({"ann"});
    s.send(1, "STARTGAME");  // ann holds 0..4, the stock is 5..51
    std::string line = "EXCHANGE";
    for (int k = 0; k < 47; ++k) line += "\t0";
    s.send(1, line);  // position 0 ends with 51, the last card of the stock
    EXPECT_EQ(s.client(1).card(0), 51);
    s.send(1, "EXCHANGE\t0");
    // Every card given up (0, the replacements 5..50 and 51) forms the new
    // stock of 48; one of them was drawn.
    const int drawn = s.client(1).card(0);
    EXPECT_TRUE(drawn == 0 || (drawn >= 5 && drawn <= 51)) << drawn;
}

// A player who joined after the deal holds no card of this deck: his exchange
// is refused, so neither his stale cards nor he enter the hand.
TEST(Exchange, LateJoinerWaitsForTheNextDeal) {
    Server s;
    s.seat({"ann"});
    s.send(1, "STARTGAME");
    s.login(2, "bob");
    s.send(2, "JOINGAME\t1");
    s.clearAll();
    const std::string before = snapshot(s);
    for (const char* l : {"EXCHANGE", "EXCHANGE\t0\t0\t0"}) {
        s.send(2, l);
        EXPECT_EQ(s.lines(2), L{"ERROR\tEXCHANGE"});
        EXPECT_TRUE(s.lines(1).empty());
        EXPECT_EQ(snapshot(s), before);
    }
    s.send(1, "STARTGAME");
    EXPECT_TRUE(s.game(1).DealtIn(s.client(2)));
    s.clearAll();
    s.send(2, "EXCHANGE\t0");
    EXPECT_EQ(s.lines(2).back().rfind("EXCHANGE\t", 0), 0u);
}

}  // namespace
}  // namespace server::testing
