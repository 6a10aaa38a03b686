// Betting amounts, the pot, and chips that must never vanish.

#include <gtest/gtest.h>

#include "server/session/tests/harness.h"

namespace server::testing {
namespace {

TEST(Betting, RaisesCostTheDifferenceAndBanksMayGoNegative) {
    Server s;
    s.seat({"ann", "bob"});
    s.client(1).Bank = 3;
    s.dealToBetting(2);
    EXPECT_EQ(s.client(1).Bank, -2);
    s.send(1, "BET\t10");
    EXPECT_EQ(s.client(1).Ante, 15);
    EXPECT_EQ(s.client(1).Bank, -12);
    s.send(2, "BET\t20");  // a re-raise: bob matches 15 and adds 20
    EXPECT_EQ(s.client(2).Ante, 35);
    EXPECT_EQ(s.client(2).Bank, 965);
    s.send(1, "BET\t0");
    EXPECT_EQ(s.client(1).Bank, -32 - 5);
    EXPECT_EQ(s.client(2).Bank, 965 + 70 - 5);
}

// The turn finding no other bettor pays the winner like any other.
TEST(Betting, LoneBettorIsPaidThePot) {
    Server s;
    s.seat({"ann"});
    s.dealToBetting(1);
    s.send(1, "BET\t10");
    const L l = s.lines(1);
    ASSERT_GE(l.size(), 11u);
    EXPECT_EQ(l[10], "WINNER\t0");
    EXPECT_EQ(s.client(1).Bank, 1000 - 5);  // the 15 came back, the next ante went in
}

// A new deal in the middle of a hand returns every seated player's stake
// first, what a departed player left stays for the next winner, and a paid
// hand is not refunded again.
TEST(Betting, MisdealRefundsTheStakesOnceAndKeepsDepartedStakes) {
    Server s;
    s.seat({"ann", "bob", "cy"});
    s.dealToBetting(3);
    s.send(1, "BET\t20");
    s.send(2, "BET\t0");
    s.disconnect(2);  // bob leaves 25 behind
    s.send(3, "STARTGAME");
    EXPECT_EQ(s.client(1).Bank, 995);
    EXPECT_EQ(s.client(3).Bank, 995);
    EXPECT_EQ(s.game(1).DepartedPot, 25);
    s.send(1, "EXCHANGE");
    s.send(3, "EXCHANGE");
    s.send(3, "BET\t-1");  // cy folds: ann is paid, the next hand is dealt
    EXPECT_EQ(s.client(1).Bank, 995 + 5 + 5 + 25 - 5);
    EXPECT_EQ(s.game(1).DepartedPot, 0);
    s.send(3, "STARTGAME");
    EXPECT_EQ(s.client(1).Bank, 1025);
    EXPECT_EQ(s.client(3).Bank, 990);
    EXPECT_EQ(s.client(1).Ante, 5);
}

TEST(Betting, AmountsThatWouldOverflowAreRefused) {
    Server s;
    s.seat({"ann", "bob"});
    s.dealToBetting(2);
    auto refused = [&](int slot, const char* line) {
        SCOPED_TRACE(line);
        const std::string before = snapshot(s);
        s.send(slot, line);
        EXPECT_EQ(s.lines(slot), L{"ERROR\tBET"});
        EXPECT_TRUE(s.lines(3 - slot).empty());
        EXPECT_EQ(snapshot(s), before);
    };
    for (const char* line : {"BET\t2147483647", "BET\t2147483643", "BET\t2147482700"}) refused(1, line);
    // The largest raise whose pot the other player could still win fits...
    s.send(1, "BET\t2147482000");
    EXPECT_EQ(s.client(1).Ante, 2147482005);
    s.clearAll();
    // ...but calling it would put more than 32 bits in the pot.
    refused(2, "BET\t0");
    s.send(2, "BET\t-1");
    EXPECT_EQ(s.client(1).Bank, 995 - 2147482000 + 2147482010 - 5);
}

}  // namespace
}  // namespace server::testing
