// Betting amounts, the end of a hand and the pot.

#include <gtest/gtest.h>

#include <limits>

#include "server/session/tests/harness.h"

namespace server::testing {
namespace {

using Lines = std::vector<std::string>;

TEST(Betting, RaiseAndReRaiseCostTheDifference) {
    Server s;
    seatPlayers(s, {"ann", "bob"});
    dealToBetting(s, 2);
    s.send(1, "BET\t10");
    EXPECT_EQ(s.client(1).Ante, 15);
    EXPECT_EQ(s.client(1).Bank, 985);
    s.send(2, "BET\t20");
    EXPECT_EQ(s.client(2).Ante, 35);
    EXPECT_EQ(s.client(2).Bank, 965);
    s.clearAll();
    EXPECT_EQ(s.game(1).BetSeat, 0);
    s.send(1, "BET\t0");
    const Lines l = s.lines(1);
    ASSERT_GE(l.size(), 6u);
    EXPECT_EQ(l[5], "WINNER\t1");
    EXPECT_EQ(s.client(1).Bank, 965 - 5);
    EXPECT_EQ(s.client(2).Bank, 965 + 70 - 5);
}

TEST(Betting, BanksMayGoNegative) {
    Server s;
    seatPlayers(s, {"ann", "bob"});
    s.client(1).Bank = 3;
    s.send(1, "STARTGAME");
    EXPECT_EQ(s.client(1).Bank, -2);
    s.send(1, "EXCHANGE");
    s.send(2, "EXCHANGE");
    s.send(1, "BET\t10");
    EXPECT_EQ(s.client(1).Bank, -12);
}

// A showdown with nobody betting (a call during the exchange) announces
// nobody and pays nothing.
TEST(Betting, ShowdownWithoutBettorsDoesNothing) {
    Server s;
    seatPlayers(s, {"ann", "bob"});
    s.send(1, "STARTGAME");
    s.clearAll();
    const std::string before = snapshot(s);
    s.send(2, "BET\t0");
    EXPECT_EQ(snapshot(s), before);
    EXPECT_TRUE(s.lines(1).empty());
    EXPECT_TRUE(s.lines(2).empty());
}

// The turn finding no other bettor pays the winner like any other.
TEST(Betting, LoneBettorIsPaidThePot) {
    Server s;
    seatPlayers(s, {"ann"});
    dealToBetting(s, 1);
    s.send(1, "BET\t10");
    const Lines l = s.lines(1);
    // The raise's report, then the final report and the winner.
    ASSERT_GE(l.size(), 11u);
    EXPECT_EQ(l[10], "WINNER\t0");
    EXPECT_EQ(s.client(1).Bank, 1000 - 5);  // the 15 came back, the next ante went in
    EXPECT_EQ(s.game(1).DepartedPot, 0);
}

// A new deal in the middle of a hand returns everybody's stake first.
TEST(Betting, MisdealRefundsTheStakes) {
    Server s;
    seatPlayers(s, {"ann", "bob"});
    dealToBetting(s, 2);
    s.send(1, "BET\t10");
    s.send(2, "BET\t-1");  // bob folds: ann is paid, the next hand is dealt
    EXPECT_EQ(s.client(1).Bank, 1000 + 5 - 5);
    EXPECT_EQ(s.client(2).Bank, 990);
    // Nothing of the paid hand comes back twice.
    s.send(2, "STARTGAME");
    EXPECT_EQ(s.client(1).Bank, 1000);
    EXPECT_EQ(s.client(2).Bank, 990);
    s.send(1, "EXCHANGE");
    s.send(2, "EXCHANGE");
    s.send(1, "BET\t100");
    s.send(2, "BET\t50");
    ASSERT_EQ(s.client(1).Bank, 900);
    ASSERT_EQ(s.client(2).Bank, 840);
    s.send(2, "STARTGAME");
    EXPECT_EQ(s.client(1).Bank, 1000);
    EXPECT_EQ(s.client(2).Bank, 990);
    EXPECT_EQ(s.client(1).Ante, 5);
    EXPECT_EQ(s.client(2).Ante, 5);
}

TEST(Betting, MisdealKeepsDepartedStakesForTheNextWinner) {
    Server s;
    seatPlayers(s, {"ann", "bob", "cy"});
    dealToBetting(s, 3);
    s.send(1, "BET\t20");
    s.send(2, "BET\t0");
    s.disconnect(2);  // bob leaves 25 behind
    EXPECT_EQ(s.game(1).DepartedPot, 25);
    s.send(3, "STARTGAME");
    EXPECT_EQ(s.client(1).Bank, 995);
    EXPECT_EQ(s.client(3).Bank, 995);
    EXPECT_EQ(s.game(1).DepartedPot, 25);
    s.send(1, "EXCHANGE");
    s.send(3, "EXCHANGE");
    s.send(3, "BET\t-1");
    EXPECT_EQ(s.client(1).Bank, 995 + 5 + 5 + 25 - 5);
    EXPECT_EQ(s.game(1).DepartedPot, 0);
}

TEST(Betting, AmountsThatWouldOverflowAreRefused) {
    Server s;
    seatPlayers(s, {"ann", "bob"});
    dealToBetting(s, 2);
    for (const char* line : {"BET\t2147483647", "BET\t2147483643", "BET\t2147482700"}) {
        SCOPED_TRACE(line);
        const std::string before = snapshot(s);
        s.send(1, line);
        EXPECT_EQ(snapshot(s), before);
        EXPECT_EQ(s.lines(1), (Lines{"ERROR\tBET"}));
        EXPECT_TRUE(s.lines(2).empty());
    }
    // The largest raise whose pot the other player could still win fits.
    s.send(1, "BET\t2147482000");
    EXPECT_EQ(s.client(1).Ante, 2147482005);
    EXPECT_EQ(s.client(1).Bank, 995 - 2147482000);
    s.clearAll();
    // Calling it would put more than 32 bits in the pot.
    const std::string before = snapshot(s);
    s.send(2, "BET\t0");
    EXPECT_EQ(snapshot(s), before);
    EXPECT_EQ(s.lines(2), (Lines{"ERROR\tBET"}));
    s.send(2, "BET\t-1");
    EXPECT_EQ(s.client(1).Bank, 995 - 2147482000 + 2147482010 - 5);
}

}  // namespace
}  // namespace server::testing
