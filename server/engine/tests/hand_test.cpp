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
    s.send(1, "NEWGAME\tfirst");
    EXPECT_EQ(s.lines(1), (L{"OK\tNEWGAME 1", "SEAT\t0"}));
    s.send(2, "JOINGAME\t1");
    EXPECT_EQ(s.lines(1), report("", "ann bob", "3 2", "", ""));
    EXPECT_EQ(s.lines(2), (L{"OK\tJOINGAME", "SEAT\t1"}));

    // ann starts the hand.
    s.send(1, "STARTGAME");
    const L deal = report("5 5", "ann bob", "4 4", "", "995 995");
    EXPECT_EQ(s.lines(1), L{"STARTGAME\t0\t1\t2\t3\t4"} + deal);
    EXPECT_EQ(s.lines(2), L{"STARTGAME\t5\t6\t7\t8\t9"} + deal);

    // ann exchanges positions 1 and 3.
    s.send(1, "EXCHANGE\t1\t3");
    const L afterAnn = report("5 5", "ann bob", "4 4", "2", "995 995");
    EXPECT_EQ(s.lines(1), afterAnn + L{"EXCHANGE\t0\t10\t2\t11\t4"});
    EXPECT_EQ(s.lines(2), afterAnn);

    // bob keeps his cards; the betting begins with ann.
    s.send(2, "EXCHANGE");
    const L afterBob = report("5 5", "ann bob", "5 4", "2 0", "995 995");
    EXPECT_EQ(s.lines(1), afterBob + L{"BET"});
    EXPECT_EQ(s.lines(2), afterBob + L{"EXCHANGE\t5\t6\t7\t8\t9"});

    // ann raises 10.
    s.send(1, "BET\t10");
    const L afterRaise = report("15 5", "ann bob", "5 5", "2 0", "985 995");
    EXPECT_EQ(s.lines(1), afterRaise);
    EXPECT_EQ(s.lines(2), afterRaise + L{"BET"});

    // bob calls; his straight flush beats ann's flush; the next hand follows.
    s.send(2, "BET\t0");
    const L final = report("15 15", "ann bob", "5 6", "2 0", "985 985");
    const L next = report("5 5", "ann bob", "4 4", "", "980 1010");
    EXPECT_EQ(s.lines(1), (final + L{"WINNER\t1", "STARTGAME\t0\t1\t2\t3\t4"} + next));
    EXPECT_EQ(s.lines(2), (final + L{"WINNER\t1", "STARTGAME\t5\t6\t7\t8\t9"} + next));
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

// A call of the opening bet goes to the showdown; the better hand takes every
// ante, and equal hands go to the lower seat with the evaluator's log line.
TEST(Hand, ShowdownPaysTheBetterHand) {
    const struct {
        const char* name;
        std::vector<int> deck;
        const char* bets[2];
        const char* winner;
        int winnerBank;
        L log;
    } cases[] = {
        {"flush beats straight", {2, 16, 30, 44, 6, 13, 15, 18, 21, 25}, {"BET\t20", "BET\t0"}, "WINNER\t1",
         975 + 50 - 5, {}},
        {"tie goes to seat 0", {0, 14, 2, 3, 4, 13, 1, 15, 16, 30}, {"BET\t0", ""}, "WINNER\t0", 995 + 10 - 5,
         {"WinsOf untermined"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Server s(knownDeck(c.deck));
        s.seat({"ann", "bob"});
        s.dealToBetting(2);
        s.send(1, c.bets[0]);
        if (*c.bets[1]) s.send(2, c.bets[1]);
        const L l = s.lines(1);
        ASSERT_GE(l.size(), 2u);
        EXPECT_EQ(l[l.size() - 7], c.winner);
        const int w = c.winner[7] == '0' ? 1 : 2;
        EXPECT_EQ(s.client(w).Bank, c.winnerBank);
        EXPECT_EQ(s.client(3 - w).Bank + s.client(w).Bank + 10, 2000);
        EXPECT_EQ(s.log, c.log);
    }
}

}  // namespace
}  // namespace server::testing
