// A player leaving his table: by a close, a socket error, a logout or by
// sitting down elsewhere. The table is told at once and the hand goes on.

#include <gtest/gtest.h>

#include "server/session/tests/harness.h"

namespace server::testing {
namespace {

using Lines = std::vector<std::string>;

TEST(Departure, CloseFreesTheSeatAndTellsTheTable) {
    Server s;
    seatPlayers(s, {"ann", "bob"});
    s.disconnect(2);
    EXPECT_EQ(s.lines(1), report("0\t0\t0\t0\t0\t0", "ann\t\t\t\t\t", "3\t0\t0\t0\t0\t0", "-1\t-1\t-1\t-1\t-1\t-1",
                                 "1000\t1000\t1000\t1000\t1000\t1000"));
    EXPECT_EQ(s.game(1).Seats[1], &s.core->g_VoidClient);
    // The next player in the same slot does not inherit the seat.
    s.login(2, "cy");
    s.send(1, "CHAT\thi");
    EXPECT_TRUE(s.lines(2).empty());
    EXPECT_FALSE(s.client(2).InGame());
}

TEST(Departure, SocketErrorIsHandledLikeAClose) {
    Server s;
    seatPlayers(s, {"ann", "bob"});
    s.sock(2).st = ISocket::kError;
    s.disconnect(2);
    EXPECT_EQ(s.sock(2).st, ISocket::kClosed);
    EXPECT_EQ(s.client(2).ClientState, clsClient::Void);
    EXPECT_FALSE(s.game(1).Occupied(1));
    EXPECT_EQ(s.lines(1).size(), 5u);
}

TEST(Departure, MovingToAnotherTableLeavesTheOldOne) {
    Server s;
    seatPlayers(s, {"ann", "bob", "cy"});
    s.send(1, "STARTGAME");
    s.clearAll();
    s.send(2, "NEWGAME\tsecond");
    EXPECT_EQ(s.lines(2), (Lines{"OK\tNEWGAME 2", "SEAT\t0"}));
    EXPECT_EQ(s.client(2).Ante, 0);
    EXPECT_EQ(s.game(1).DepartedPot, 5);
    EXPECT_EQ(s.lines(1), report("5\t0\t5\t0\t0\t0", "ann\t\tcy\t\t\t", "4\t0\t4\t0\t0\t0", "-1\t-1\t-1\t-1\t-1\t-1",
                                 "995\t1000\t995\t1000\t1000\t1000"));
    // Only the new table's messages reach him now.
    s.send(1, "CHAT\tx");
    EXPECT_TRUE(s.lines(2).empty());
    s.clearAll();
    s.send(3, "JOINGAME\t2");
    EXPECT_EQ(s.lines(3), (Lines{"OK\tJOINGAME", "SEAT\t1"}));
    EXPECT_EQ(s.lines(1).size(), 5u);  // ann saw cy leave
    EXPECT_EQ(s.client(3).Ante, 0);
    EXPECT_EQ(s.game(1).DepartedPot, 10);
}

TEST(Departure, LogoutLeavesTheTable) {
    Server s;
    seatPlayers(s, {"ann", "bob"});
    s.send(2, "LOGOUT");
    EXPECT_FALSE(s.game(1).Occupied(1));
    EXPECT_EQ(s.client(2).seatno, -1);
    EXPECT_EQ(s.lines(1).size(), 5u);
    EXPECT_TRUE(s.lines(2).empty());
}

TEST(Departure, LastExchangerLeavingStartsTheBetting) {
    Server s;
    seatPlayers(s, {"ann", "bob", "cy"});
    s.send(1, "STARTGAME");
    s.send(2, "EXCHANGE");
    s.send(3, "EXCHANGE");
    s.clearAll();
    s.disconnect(1);
    // The betting opens at the lowest seat of a betting player: seat 1.
    EXPECT_EQ(s.game(1).GameState, clsGame::GameBetting);
    EXPECT_EQ(s.game(1).BetSeat, 1);
    EXPECT_EQ(s.lines(2).back(), "BET");
    EXPECT_EQ(s.lines(3).size(), 5u);
}

TEST(Departure, PlayerOnTurnLeavingPassesTheTurn) {
    Server s;
    seatPlayers(s, {"ann", "bob", "cy"});
    dealToBetting(s, 3);
    s.send(1, "BET\t10");
    s.clearAll();
    EXPECT_EQ(s.game(1).BetSeat, 1);
    s.disconnect(2);
    EXPECT_EQ(s.game(1).BetSeat, 2);
    EXPECT_EQ(s.lines(3), concat({report("15\t0\t5\t0\t0\t0", "ann\t\tcy\t\t\t", "5\t0\t5\t0\t0\t0",
                                         "0\t-1\t0\t-1\t-1\t-1", "985\t1000\t995\t1000\t1000\t1000"),
                                  {"BET"}}));
    EXPECT_EQ(s.client(3).ClientState, clsClient::MakeBet);
}

TEST(Departure, LastBettorLeftWinsTheDepartedStake) {
    Server s;
    seatPlayers(s, {"ann", "bob"});
    dealToBetting(s, 2);
    s.send(1, "BET\t10");
    s.clearAll();
    s.disconnect(1);
    const Lines l = s.lines(2);
    ASSERT_GE(l.size(), 11u);
    EXPECT_EQ(l[10], "WINNER\t1");
    EXPECT_EQ(s.client(2).Bank, 995 + 15 + 5 - 5);
    EXPECT_EQ(s.game(1).DepartedPot, 0);
}

TEST(Departure, OnlyExchangerLeftAloneWins) {
    Server s;
    seatPlayers(s, {"ann", "bob"});
    s.send(1, "STARTGAME");
    s.send(1, "EXCHANGE");
    s.clearAll();
    s.disconnect(2);
    EXPECT_EQ(s.client(1).Bank, 995 + 10 - 5);
    EXPECT_EQ(s.client(1).ClientState, clsClient::WaitChange);
}

// The BET prompt reaches only a betting player; the void session is never
// touched although it stands in every empty seat.
TEST(VoidSession, PromptSkipsSeatsWithoutABettor) {
    Server s;
    seatPlayers(s, {"ann", "bob", "cy"});
    const std::string voidBefore = describe(s.core->g_VoidClient);
    s.disconnect(1);
    s.send(2, "STARTGAME");
    s.send(2, "EXCHANGE");
    s.send(2, "BET\t-1");  // bob folds before the betting
    s.clearAll();
    s.send(3, "EXCHANGE");
    EXPECT_EQ(s.game(1).BetSeat, 2);
    EXPECT_EQ(s.lines(3).back(), "BET");
    EXPECT_NE(s.lines(2).back(), "BET");
    s.send(3, "BET\t0");
    EXPECT_EQ(describe(s.core->g_VoidClient), voidBefore);
    EXPECT_EQ(describe(s.core->g_VoidGame), describe(Server().core->g_VoidGame));
}

TEST(VoidSession, NoBettorAtAllPromptsNobody) {
    Server s;
    seatPlayers(s, {"ann", "bob"});
    s.send(1, "STARTGAME");
    s.send(1, "EXCHANGE");
    s.send(1, "BET\t-1");
    s.clearAll();
    s.send(2, "BET\t-1");  // the exchange is over with nobody betting
    EXPECT_EQ(s.game(1).GameState, clsGame::GameBetting);
    for (int i = 1; i <= 2; ++i)
        for (const auto& l : s.lines(i)) EXPECT_NE(l, "BET");
}

}  // namespace
}  // namespace server::testing
