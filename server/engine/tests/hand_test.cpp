// Whole hands, lines in and lines out, with a known deck: every shuffle leaves
// the deck in order, so the first seat is dealt 0..4, the second 5..9.

#include <gtest/gtest.h>

#include "server/session/tests/harness.h"

namespace server::testing {
namespace {

TEST(Hand, ExampleHandLineByLine) {
    Server s;
    s.login(1, "Ann");
    s.login(2, "bob");
    for (const Step& step : exampleHand()) {
        SCOPED_TRACE(step.line);
        s.send(step.slot, step.line);
        EXPECT_EQ(s.lines(1), step.to[0]);
        EXPECT_EQ(s.lines(2), step.to[1]);
    }
    EXPECT_EQ(s.game(1).GameState, clsGame::GameExchange);
}

TEST(Hand, ThreePlayersFoldWrapAndLastPlayerLeft) {
    Server s;
    s.seat({"ann", "bob", "cy"});
    s.send(1, "STARTGAME");
    s.send(1, "EXCHANGE");
    s.send(2, "EXCHANGE");
    s.clearAll();
    // Two of three have exchanged: nobody is prompted yet.
    EXPECT_EQ(s.game(1).GameState, clsGame::GameExchange);
    s.send(3, "EXCHANGE");
    EXPECT_EQ(s.lines(1).back(), "BET");
    s.send(1, "BET\t10");
    EXPECT_EQ(s.lines(2).back(), "BET");
    s.clearAll();

    // bob folds: only the antes line goes out, and cy is on turn.
    s.send(2, "BET\t-1");
    EXPECT_EQ(s.lines(1), L{"SEAT_ANTE\t15\t5\t5\t0\t0\t0"});
    EXPECT_EQ(s.lines(2), L{"SEAT_ANTE\t15\t5\t5\t0\t0\t0"});
    EXPECT_EQ(s.lines(3), (L{"SEAT_ANTE\t15\t5\t5\t0\t0\t0", "BET"}));

    // cy raises; the turn wraps past the empty seats and skips bob.
    s.send(3, "BET\t5");
    EXPECT_EQ(s.lines(1).back(), "BET");
    EXPECT_EQ(s.game(1).BetSeat, 0);
    s.clearAll();

    // ann folds: cy is the last one betting and takes every ante.
    s.send(1, "BET\t-1");
    const L l = s.lines(2);
    ASSERT_GE(l.size(), 6u);
    EXPECT_EQ(L(l.begin(), l.begin() + 6),
              report("15 5 20", "ann bob cy", "3 3 5", "0 0 0", "985 995 980") + L{"WINNER\t2"});
    EXPECT_EQ(s.client(3).Bank, 980 + 40 - 5);
    EXPECT_EQ(s.client(1).Bank, 980);
    EXPECT_EQ(s.client(2).Bank, 990);
}

// Equal hands at the showdown go to the lower seat, with the evaluator's log line.
TEST(Hand, TieGoesToTheLowerSeat) {
    Server s(knownDeck({0, 14, 2, 3, 4, 13, 1, 15, 16, 30}));
    s.seat({"ann", "bob"});
    s.dealToBetting(2);
    s.send(1, "BET\t0");
    const L l = s.lines(1);
    ASSERT_GE(l.size(), 7u);
    EXPECT_EQ(l[l.size() - 7], "WINNER\t0");
    EXPECT_EQ(s.client(1).Bank, 995 + 10 - 5);
    EXPECT_EQ(s.client(2).Bank, 995 - 5);
    EXPECT_EQ(s.log, L{"WinsOf untermined"});
}

}  // namespace
}  // namespace server::testing
