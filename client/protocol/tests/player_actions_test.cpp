// The player's commands: what each sends, and what it does to the screen.
#include <gtest/gtest.h>

#include <functional>

#include "fakes.h"

namespace client::testing {
namespace {

using PlayerActions = ProtocolTest;
using M = ActionMode;

TEST_F(PlayerActions, ActionModesFollowTheServerLinesAndTheButtons) {
    const auto server = [this](const char* text) { return [this, text] { feed(text); }; };
    const auto deal = server("STARTGAME\t1\t2\t3\t4\t5\r\n"), bet = server("BET\r\n");
    ClientProtocol& p = *protocol;
    const std::tuple<const char*, std::function<void()>, M, Lines> steps[] = {
        {"deal", deal, M::CardChanging, {}},
        {"Done, 4 and 0 marked",
         [&] {
             hand.CardHidden(4) = hand.CardHidden(0) = true;
             p.cmdDone_Click();
         },
         M::Idle,
         {"EXCHANGE\t0\t4"}},
        {"exchange result", server("EXCHANGE\t1\t2\t3\t4\t5\r\n"), M::Idle, {}},
        {"bet", bet, M::Betting, {}},
        {"other lines",
         server("WINNER\t0\r\nSEAT_ANTE\t0\t0\t0\t0\t0\t0\r\nCHAT\tx> y\r\nSEAT\t1\r\nOK\tLOGIN\r\n"),
         M::Betting,
         {}},
        {"Pass", [&] { p.cmdPass_Click(); }, M::Idle, {"BET\t-1"}},
        {"bet", bet, M::Betting, {}},
        {"Call", [&] { p.cmdCall_Click(); }, M::Idle, {"BET\t0"}},
        {"bet", bet, M::Betting, {}},
        {"Raise, empty box", [&] { p.cmdRaise_Click(""); }, M::Idle, {"BET\t"}},
        {"bet", bet, M::Betting, {}},
        {"Raise, any text", [&] { p.cmdRaise_Click("lots"); }, M::Idle, {"BET\tlots"}},
        {"deal", deal, M::CardChanging, {}},
        {"Done, nothing marked", [&] { p.cmdDone_Click(); }, M::Idle, {"EXCHANGE"}},
    };
    for (const auto& [what, act, mode, lines] : steps) {
        SCOPED_TRACE(what);
        act();
        EXPECT_EQ(view.mode(), mode);
        EXPECT_EQ(sent(), lines);
    }
    EXPECT_EQ(view.attentions, 4) << "every BET asks for attention";
}

TEST_F(PlayerActions, MenuCommandsPromptAndSendTheAnswerAsTypedAndTraceIt) {
    dialogs.answers = {"test game", "3", "", "x y"};
    protocol->mnuNewGame_Click();
    protocol->mnuJoinGame_Click();
    protocol->mnuJoinGame_Click();  // answered empty: nothing sent
    protocol->mnuNewGame_Click();
    protocol->mnuJoinGame_Click();  // cancelled
    protocol->mnuStartGame_Click();
    EXPECT_EQ(sent(), (Lines{"NEWGAME\ttest game", "JOINGAME\t3", "NEWGAME\tx y", "STARTGAME"}));
    ASSERT_EQ(dialogs.prompts.size(), 5u);
    EXPECT_EQ(dialogs.prompts[0], (Prompt{"Game name", "New Game", "test game"}));
    EXPECT_EQ(dialogs.prompts[1], (Prompt{"Game number", "Join Game", "1"}));
    const std::string trace = ">NEWGAME test game\r\n>JOINGAME 3\r\n>NEWGAME x y\r\n>STARTGAME\r\n";
    EXPECT_EQ(view.trace, trace);
    link.up = false;
    protocol->mnuStartGame_Click();
    EXPECT_EQ(view.status(), "winsock_SendCmd error");
    EXPECT_EQ(view.trace, trace) << "a failed send is not traced";
}

TEST_F(PlayerActions, ChatSendsTheTrimmedTextOnlyWhenThereIsSome) {
    for (const char* typed : {"   ", "", "  hello  ", " two  words "}) protocol->txtChat_Enter(typed);
    EXPECT_EQ(sent(), (Lines{"CHAT\thello", "CHAT\ttwo  words"}));
    EXPECT_EQ(view.chat, "") << "own messages come back from the server";
}

TEST_F(PlayerActions, ExitBeforeAnyDealLeavesAtOnce) {
    protocol->mnuExit_Click();
    EXPECT_EQ(sent(), Lines{"EXIT"});
    EXPECT_EQ(protocol->ExitMode, 1);
    EXPECT_TRUE(view.statuses.empty());
    EXPECT_EQ(view.closes, 1);
}

TEST_F(PlayerActions, ExitOrClosingDuringAGameLeavesRightAfterTheNextDealsExit) {
    for (bool closing : {false, true}) {
        SCOPED_TRACE(closing ? "window closing" : "Exit");
        start("");
        view = FakeView{};
        line("STARTGAME\t1\t2\t3\t4\t5");
        closing ? protocol->Form_Unload() : protocol->mnuExit_Click();
        EXPECT_EQ(protocol->ExitMode, closing ? 2 : 1);
        EXPECT_EQ(sent(), closing ? Lines{} : Lines{"EXIT"}) << "closing itself sends nothing";
        EXPECT_EQ(view.status() == "Exiting after this round.", !closing);
        EXPECT_EQ(view.closes, 0);

        view.draws.clear();
        line("STARTGAME\t10\t11\t12\t13\t14");
        EXPECT_EQ(sent(), Lines{"EXIT"});
        EXPECT_TRUE(view.draws.empty()) << "the new cards are not shown";
        EXPECT_EQ(hand.Card(0), 1);
        EXPECT_EQ(protocol->ExitMode, closing ? 2 : 0);
        EXPECT_EQ(protocol->Playing, !closing);
        EXPECT_EQ(view.closes, 1);
    }
}

}  // namespace
}  // namespace client::testing
