// The shuffle, the deal order and the card exchange.

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "server/session/tests/harness.h"

namespace server::testing {
namespace {

using Lines = std::vector<std::string>;

std::set<int> handCards(Server& s, std::initializer_list<int> slots) {
    std::set<int> cards;
    for (int i : slots)
        for (int p = 0; p < 5; ++p) cards.insert(s.client(i).card(p));
    return cards;
}

TEST(Deck, ClockSeededShuffleIsAPermutation) {
    std::array<FakeSocket, ServerCore::kSlots> socks;
    std::array<ISocket*, ServerCore::kSlots> ptrs{};
    for (int i = 0; i < ServerCore::kSlots; ++i) ptrs[i] = &socks[i];
    ServerCore core(ptrs, {});  // no random source given: the clock-seeded generator
    clsGame& g = core.game(1);
    for (int round = 0; round < 20; ++round) {
        g.StartGame();
        std::array<std::int16_t, 52> sorted = g.Deck;
        std::sort(sorted.begin(), sorted.end());
        for (int i = 0; i < 52; ++i) ASSERT_EQ(sorted[i], i);
    }
}

TEST(Deck, ShuffleSwapsEachPositionWithTheDrawnOne) {
    ScriptedRandom r;
    // Draw j swaps position j with position 51 - j for the first half.
    for (int j = 0; j < 52; ++j) r.pushValue(j < 26 ? (51 - j + 0.5) / 52 : (j + 0.5) / 52);
    Server s(r.fn());
    seatPlayers(s, {"ann"});
    s.send(1, "STARTGAME");
    for (int j = 0; j < 52; ++j) EXPECT_EQ(s.game(1).Deck[j], 51 - j);
    EXPECT_EQ(s.lines(1)[0], "STARTGAME\t51\t50\t49\t48\t47");
}

TEST(Deck, DealsInSeatOrderSkippingEmptySeats) {
    Server s;
    seatPlayers(s, {"ann", "bob", "cy"});
    s.disconnect(2);
    s.clearAll();
    s.send(3, "STARTGAME");
    const Lines deal = report("5\t0\t5\t0\t0\t0", "ann\t\tcy\t\t\t", "4\t0\t4\t0\t0\t0", "-1\t-1\t-1\t-1\t-1\t-1",
                              "995\t1000\t995\t1000\t1000\t1000");
    EXPECT_EQ(s.lines(1), concat({{"STARTGAME\t0\t1\t2\t3\t4"}, deal}));
    EXPECT_EQ(s.lines(3), concat({{"STARTGAME\t5\t6\t7\t8\t9"}, deal}));
}

TEST(Exchange, EmptyAndRepeatedPositions) {
    Server s;
    seatPlayers(s, {"ann", "bob"});
    s.send(1, "STARTGAME");
    s.clearAll();
    // Empty fields count but draw nothing.
    s.send(1, "EXCHANGE\t1\t\t3");
    EXPECT_EQ(s.client(1).Exchange, 3);
    EXPECT_EQ(s.lines(1).back(), "EXCHANGE\t0\t10\t2\t11\t4");
    // A position listed twice is replaced twice; the second card stays.
    s.clearAll();
    s.send(2, "EXCHANGE\t2\t2");
    EXPECT_EQ(s.client(2).Exchange, 2);
    const Lines l = s.lines(2);
    EXPECT_EQ(l[5], "EXCHANGE\t5\t6\t13\t8\t9");
    EXPECT_EQ(l.size(), 6u);
    EXPECT_EQ(s.lines(1).back(), "BET");
}

TEST(Exchange, NoPositionsKeepsTheHand) {
    Server s;
    seatPlayers(s, {"ann"});
    s.send(1, "STARTGAME");
    s.clearAll();
    s.send(1, "EXCHANGE");
    EXPECT_EQ(s.client(1).Exchange, 0);
    EXPECT_EQ(s.lines(1)[5], "EXCHANGE\t0\t1\t2\t3\t4");
}

// When the stock runs out, this hand's discards become the new stock, so no
// card is ever read past the deck and no card is held twice.
TEST(Exchange, EmptyStockReshufflesTheDiscards) {
    Server s;
    seatPlayers(s, {"a", "b", "c", "d", "e", "f"});
    s.send(1, "STARTGAME");
    EXPECT_EQ(s.game(1).StockLeft(), 22);
    for (int i = 1; i <= 6; ++i) {
        s.send(i, "EXCHANGE\t0\t1\t2\t3\t4");
        ASSERT_EQ(handCards(s, {1, 2, 3, 4, 5, 6}).size(), 30u) << "after player " << i;
    }
    // One player drawing a hundred cards in one request still holds five
    // distinct cards none of which another player holds.
    std::string many = "EXCHANGE";
    for (int k = 0; k < 100; ++k) many += "\t" + std::to_string(k % 5);
    s.send(3, many);
    EXPECT_EQ(s.client(3).Exchange, 100);
    EXPECT_EQ(handCards(s, {1, 2, 3, 4, 5, 6}).size(), 30u);
    for (int c : handCards(s, {1, 2, 3, 4, 5, 6})) EXPECT_TRUE(c >= 0 && c < 52);
}

TEST(Exchange, ReplacementListedTwiceIsDiscardedToo) {
    ScriptedRandom r;
    Server s(r.fn());
    seatPlayers(s, {"ann"});
    s.send(1, "STARTGAME");  // ann holds 0..4, the stock is 5..51
    std::string line = "EXCHANGE";
    for (int k = 0; k < 47; ++k) line += "\t0";
    s.send(1, line);  // position 0 ends with 51, the last card of the stock
    EXPECT_EQ(s.client(1).card(0), 51);
    EXPECT_EQ(s.game(1).StockLeft(), 0);
    s.send(1, "EXCHANGE\t0");
    // Every card given up (0, the replacements 5..50 and 51) forms the new
    // stock of 48; one of them was drawn.
    EXPECT_EQ(s.game(1).StockLeft(), 47);
    const int drawn = s.client(1).card(0);
    EXPECT_TRUE(drawn == 0 || (drawn >= 5 && drawn <= 51)) << drawn;
}

}  // namespace
}  // namespace server::testing

namespace server::testing {
namespace {

// A player who joined after the deal holds no card of this deck: his
// exchange is refused, so neither his stale cards nor he enter the hand.
TEST(Exchange, LateJoinerCannotExchangeIntoTheHand) {
    Server s;
    seatPlayers(s, {"ann"});
    s.send(1, "STARTGAME");  // ann holds 0..4
    s.login(2, "bob");
    s.send(2, "JOINGAME\t1");
    s.clearAll();
    ASSERT_EQ(s.client(2).card(0), 0);  // never dealt: his cards are stale
    const std::string before = snapshot(s);
    std::string line = "EXCHANGE";
    for (int k = 0; k < 60; ++k) line += "\t0";
    for (const std::string& l : {line, std::string("EXCHANGE")}) {
        s.send(2, l);
        EXPECT_EQ(s.lines(2), (std::vector<std::string>{"ERROR\tEXCHANGE"}));
        EXPECT_TRUE(s.lines(1).empty());
        EXPECT_EQ(snapshot(s), before);
    }
    EXPECT_EQ(s.client(2).ClientState, clsClient::WaitStart);
    // At the next deal he is dealt in like everybody else.
    s.send(1, "STARTGAME");
    EXPECT_TRUE(s.game(1).DealtIn(1));
    s.clearAll();
    s.send(2, "EXCHANGE\t0");
    EXPECT_EQ(s.lines(2).back().rfind("EXCHANGE\t", 0), 0u);
}

}  // namespace
}  // namespace server::testing
