// Whole hands, lines in and lines out, with a known deck.

#include <gtest/gtest.h>

#include "server/session/tests/harness.h"

namespace server::testing {
namespace {

using Lines = std::vector<std::string>;

// ann at seat 0 and bob at seat 1 of table 1; every shuffle leaves the deck
// in order, so ann is dealt 0..4 and bob 5..9.
class TwoPlayers : public ::testing::Test {
protected:
    void SetUp() override {
        s.login(1, "Ann");
        s.login(2, "bob");
        s.send(1, "NEWGAME\tfirst");
        EXPECT_EQ(s.lines(1), (Lines{"OK\tNEWGAME 1", "SEAT\t0"}));
        s.send(2, "JOINGAME\t1");
        EXPECT_EQ(s.lines(1), report("0\t0\t0\t0\t0\t0", "ann\tbob\t\t\t\t", "3\t2\t0\t0\t0\t0",
                                     "-1\t-1\t-1\t-1\t-1\t-1", "1000\t1000\t1000\t1000\t1000\t1000"));
        EXPECT_EQ(s.lines(2), (Lines{"OK\tJOINGAME", "SEAT\t1"}));
    }
    Server s;
};

TEST_F(TwoPlayers, ExampleHandLineByLine) {
    // 1. ann starts the hand.
    s.send(1, "STARTGAME");
    const Lines deal = report("5\t5\t0\t0\t0\t0", "ann\tbob\t\t\t\t", "4\t4\t0\t0\t0\t0", "-1\t-1\t-1\t-1\t-1\t-1",
                              "995\t995\t1000\t1000\t1000\t1000");
    EXPECT_EQ(s.lines(1), concat({{"STARTGAME\t0\t1\t2\t3\t4"}, deal}));
    EXPECT_EQ(s.lines(2), concat({{"STARTGAME\t5\t6\t7\t8\t9"}, deal}));

    // 2. ann exchanges positions 1 and 3.
    s.send(1, "EXCHANGE\t1\t3");
    const Lines afterAnn = report("5\t5\t0\t0\t0\t0", "ann\tbob\t\t\t\t", "4\t4\t0\t0\t0\t0",
                                  "2\t-1\t-1\t-1\t-1\t-1", "995\t995\t1000\t1000\t1000\t1000");
    EXPECT_EQ(s.lines(1), concat({afterAnn, {"EXCHANGE\t0\t10\t2\t11\t4"}}));
    EXPECT_EQ(s.lines(2), afterAnn);
    EXPECT_EQ(s.game(1).GameState, clsGame::GameExchange);

    // 3. bob keeps his cards; the betting begins with ann.
    s.send(2, "EXCHANGE");
    const Lines afterBob = report("5\t5\t0\t0\t0\t0", "ann\tbob\t\t\t\t", "5\t4\t0\t0\t0\t0",
                                  "2\t0\t-1\t-1\t-1\t-1", "995\t995\t1000\t1000\t1000\t1000");
    EXPECT_EQ(s.lines(1), concat({afterBob, {"BET"}}));
    EXPECT_EQ(s.lines(2), concat({afterBob, {"EXCHANGE\t5\t6\t7\t8\t9"}}));
    EXPECT_EQ(s.game(1).GameState, clsGame::GameBetting);

    // 4. ann raises 10.
    s.send(1, "BET\t10");
    const Lines afterRaise = report("15\t5\t0\t0\t0\t0", "ann\tbob\t\t\t\t", "5\t5\t0\t0\t0\t0",
                                    "2\t0\t-1\t-1\t-1\t-1", "985\t995\t1000\t1000\t1000\t1000");
    EXPECT_EQ(s.lines(1), afterRaise);
    EXPECT_EQ(s.lines(2), concat({afterRaise, {"BET"}}));

    // 5. bob calls; his straight flush beats ann's flush; the next hand follows.
    s.send(2, "BET\t0");
    const Lines final = report("15\t15\t0\t0\t0\t0", "ann\tbob\t\t\t\t", "5\t6\t0\t0\t0\t0", "2\t0\t-1\t-1\t-1\t-1",
                               "985\t985\t1000\t1000\t1000\t1000");
    const Lines next = report("5\t5\t0\t0\t0\t0", "ann\tbob\t\t\t\t", "4\t4\t0\t0\t0\t0", "-1\t-1\t-1\t-1\t-1\t-1",
                              "980\t1010\t1000\t1000\t1000\t1000");
    EXPECT_EQ(s.lines(1), concat({final, {"WINNER\t1", "STARTGAME\t0\t1\t2\t3\t4"}, next}));
    EXPECT_EQ(s.lines(2), concat({final, {"WINNER\t1", "STARTGAME\t5\t6\t7\t8\t9"}, next}));
    EXPECT_EQ(s.client(2).Bank, 1010);
    EXPECT_EQ(s.game(1).GameState, clsGame::GameExchange);
}

TEST_F(TwoPlayers, FirstCallGoesStraightToShowdown) {
    s.send(1, "STARTGAME");
    s.send(1, "EXCHANGE");
    s.send(2, "EXCHANGE");
    s.clearAll();
    s.send(1, "BET\t0");
    const Lines l = s.lines(2);
    ASSERT_GE(l.size(), 6u);
    EXPECT_EQ(l[5], "WINNER\t1");
    EXPECT_EQ(s.client(2).Bank, 1000 + 5 - 5);
    EXPECT_EQ(s.client(1).Bank, 990);
}

TEST(ThreePlayers, FoldWrapAndLastPlayerLeft) {
    Server s;
    s.login(1, "ann");
    s.login(2, "bob");
    s.login(3, "cy");
    s.send(1, "NEWGAME\tt");
    s.send(2, "JOINGAME\t1");
    s.send(3, "JOINGAME\t1");
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
    for (int i = 1; i <= 3; ++i) {
        const Lines l = s.lines(i);
        ASSERT_FALSE(l.empty());
        EXPECT_EQ(l[0], "SEAT_ANTE\t15\t5\t5\t0\t0\t0");
        if (i == 3) {
            EXPECT_EQ(l, (Lines{"SEAT_ANTE\t15\t5\t5\t0\t0\t0", "BET"}));
        } else {
            EXPECT_EQ(l.size(), 1u);
        }
    }
    EXPECT_EQ(s.client(2).ClientState, clsClient::WaitStart);

    // cy raises; the turn wraps past the empty seats and skips bob.
    s.send(3, "BET\t5");
    EXPECT_EQ(s.lines(1).back(), "BET");
    EXPECT_EQ(s.game(1).BetSeat, 0);
    EXPECT_EQ(s.client(1).ClientState, clsClient::MakeBet);
    s.clearAll();

    // ann folds: cy is the last one betting and takes every ante.
    s.send(1, "BET\t-1");
    const Lines l = s.lines(2);
    EXPECT_EQ(Lines(l.begin(), l.begin() + 6),
              concat({report("15\t5\t20\t0\t0\t0", "ann\tbob\tcy\t\t\t", "3\t3\t5\t0\t0\t0", "0\t0\t0\t-1\t-1\t-1",
                             "985\t995\t980\t1000\t1000\t1000"),
                      {"WINNER\t2"}}));
    EXPECT_EQ(s.client(3).Bank, 980 + 40 - 5);
    EXPECT_EQ(s.client(1).Bank, 980);
    EXPECT_EQ(s.client(2).Bank, 990);
}

TEST(Showdown, FlushBeatsStraightAndWinnerTakesAllAntes) {
    ScriptedRandom r;
    // Seat 0 (slot 1) is dealt a straight, seat 1 a flush.
    r.pushDeck(deckStartingWith({2, 16, 30, 44, 6, /**/ 13, 15, 18, 21, 25}));
    Server s(r.fn());
    s.login(1, "ann");
    s.login(2, "bob");
    s.send(1, "NEWGAME\tt");
    s.send(2, "JOINGAME\t1");
    s.send(1, "STARTGAME");
    s.send(1, "EXCHANGE");
    s.send(2, "EXCHANGE");
    s.send(1, "BET\t20");
    s.clearAll();
    s.send(2, "BET\t0");
    const Lines l = s.lines(1);
    ASSERT_GE(l.size(), 6u);
    EXPECT_EQ(l[5], "WINNER\t1");
    EXPECT_EQ(s.client(2).Bank, 975 + 50 - 5);
    EXPECT_TRUE(s.log.empty());
}

TEST(Showdown, TieGoesToLowerSeatAndIsLogged) {
    ScriptedRandom r;
    // Two straights to the six in different suits.
    r.pushDeck(deckStartingWith({0, 14, 2, 3, 4, /**/ 13, 1, 15, 16, 30}));
    Server s(r.fn());
    s.login(1, "ann");
    s.login(2, "bob");
    s.send(1, "NEWGAME\tt");
    s.send(2, "JOINGAME\t1");
    s.send(1, "STARTGAME");
    s.send(1, "EXCHANGE");
    s.send(2, "EXCHANGE");
    s.clearAll();
    s.send(1, "BET\t0");
    const Lines l = s.lines(2);
    ASSERT_GE(l.size(), 6u);
    EXPECT_EQ(l[5], "WINNER\t0");
    EXPECT_EQ(s.log, (Lines{"WinsOf untermined"}));
}

}  // namespace
}  // namespace server::testing
