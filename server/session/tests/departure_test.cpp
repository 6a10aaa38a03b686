// A player leaving his table: by a close, a socket error, a logout or by
// sitting down elsewhere. The table is told at once and the hand goes on.
// Also the BET prompt, which only ever reaches a betting player.

#include <functional>

#include <gtest/gtest.h>

#include "server/session/tests/harness.h"

namespace server::testing {
namespace {

TEST(Departure, EveryWayOfLeavingFreesTheSeatAndKeepsTheStake) {
    const struct {
        const char* how;
        std::function<void(Server&)> leave;
        L answer;
    } cases[] = {
        {"close", [](Server& s) { s.disconnect(2); }, {}},
        {"socket error",
         [](Server& s) {
             s.sock(2).st = ISocket::kError;
             s.disconnect(2);
         },
         {}},
        {"logout", [](Server& s) { s.send(2, "LOGOUT"); }, {}},
        {"new table", [](Server& s) { s.send(2, "NEWGAME\tsecond"); }, {"OK\tNEWGAME 2", "SEAT\t0"}},
        {"other table", [](Server& s) { s.send(2, "JOINGAME\t5"); }, {"OK\tJOINGAME", "SEAT\t0"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.how);
        Server s;
        s.seat({"ann", "bob", "cy"});
        s.send(1, "STARTGAME");
        s.clearAll();
        c.leave(s);
        EXPECT_EQ(s.lines(1), report("5 0 5", "ann - cy", "4 0 4", "", "995 1000 995"));
        EXPECT_EQ(s.lines(2), c.answer);
        EXPECT_EQ(s.game(1).Seats[1], s.voidClient());
        EXPECT_EQ(s.game(1).DepartedPot, 5);
        EXPECT_EQ(s.client(2).Ante, 0);
        // Nothing of the old table reaches the slot any more, nor a newcomer in it.
        if (s.sock(2).st == ISocket::kClosed) {
            EXPECT_EQ(s.client(2).ClientState, wire::state::Void);
            s.login(2, "dan");
        }
        s.send(1, "CHAT\thi");
        EXPECT_TRUE(s.lines(2).empty());
        EXPECT_NE(s.client(2).m_Game, &s.game(1));
    }
}

TEST(Departure, TheHandMovesOnWithoutTheLeaver) {
    Server s;
    s.seat({"ann", "bob", "cy", "dan"});
    s.send(1, "STARTGAME");
    for (int i = 2; i <= 4; ++i) s.send(i, "EXCHANGE");
    s.clearAll();
    // The last one still to exchange leaves: the betting opens at seat 1.
    s.disconnect(1);
    EXPECT_EQ(s.game(1).BetSeat, 1);
    EXPECT_EQ(s.lines(2).back(), "BET");
    s.send(2, "BET\t10");
    s.clearAll();
    // The player on turn leaves: the turn passes.
    s.disconnect(3);
    EXPECT_EQ(s.lines(4),
              report("0 15 0 5", "- bob - dan", "0 5 0 5", "-1 0 -1 0", "1000 985 1000 995") + L{"BET"});
    // Again, and the only one left betting wins, the departed stakes included.
    s.disconnect(4);
    const L l = s.lines(2);
    ASSERT_GE(l.size(), 7u);
    EXPECT_EQ(l[l.size() - 7], "WINNER\t1");
    EXPECT_EQ(s.client(2).Bank, 985 + 15 + 5 + 5 + 5 - 5);
    EXPECT_EQ(s.game(1).DepartedPot, 0);
}

TEST(Departure, OnlyExchangerLeftAloneWins) {
    Server s;
    s.seat({"ann", "bob"});
    s.send(1, "STARTGAME");
    s.send(1, "EXCHANGE");
    s.disconnect(2);
    EXPECT_EQ(s.client(1).Bank, 995 + 10 - 5);
    EXPECT_EQ(s.client(1).ClientState, wire::state::WaitChange);
}

// The BET prompt reaches only a betting player, or nobody; the void session
// is never touched although it stands in every empty seat.
TEST(BetPrompt, GoesOnlyToABettorAndNeverTouchesTheVoidSession) {
    Server s;
    s.seat({"ann", "bob", "cy"});
    const std::string voidBefore = describe(s.core->g_VoidClient) + describe(s.core->g_VoidGame);
    s.disconnect(1);
    s.send(2, "STARTGAME");
    s.send(2, "EXCHANGE");
    s.send(2, "BET\t-1");  // bob folds before the betting
    s.clearAll();
    s.send(3, "EXCHANGE");
    EXPECT_EQ(s.game(1).BetSeat, 2);
    EXPECT_EQ(s.lines(3).back(), "BET");
    EXPECT_NE(s.lines(2).back(), "BET");
    s.send(3, "BET\t0");  // cy is paid and the next hand is dealt
    ASSERT_EQ(s.game(1).GameState, clsGame::GameExchange);
    s.clearAll();
    // Both fold during the exchange: the betting begins with nobody to prompt.
    s.send(2, "BET\t-1");
    s.send(3, "BET\t-1");
    EXPECT_EQ(s.game(1).GameState, clsGame::GameBetting);
    for (int i = 2; i <= 3; ++i)
        for (const auto& l : s.lines(i)) EXPECT_NE(l, "BET");
    EXPECT_EQ(describe(s.core->g_VoidClient) + describe(s.core->g_VoidGame), voidBefore);
}

}  // namespace
}  // namespace server::testing
