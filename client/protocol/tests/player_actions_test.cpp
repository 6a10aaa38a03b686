// The player's commands: what each sends, and what it does to the screen.
#include <gtest/gtest.h>

#include <functional>

#include "fakes.h"

namespace client::testing {
namespace {

using PlayerActions = ProtocolTest;

TEST_F(PlayerActions, ActionModesFollowTheServerLinesAndTheButtons) {
    struct Step {
        const char* what;
        std::function<void()> act;
        ActionMode mode;
        Lines sent;
    };
    const auto server = [this](const char* text) { return [this, text] { line(text); }; };
    const Step steps[] = {
        {"deal", server("STARTGAME\t1\t2\t3\t4\t5"), ActionMode::CardChanging, {}},
        {"Done with 4 and 0 marked",
         [this] {
             hand.CardHidden(4) = hand.CardHidden(0) = true;
             protocol->cmdDone_Click();
         },
         ActionMode::Idle, {"EXCHANGE\t0\t4"}},
        {"exchange result", server("EXCHANGE\t1\t2\t3\t4\t5"), ActionMode::Idle, {}},
        {"bet", server("BET"), ActionMode::Betting, {}},
        {"other lines",
         [this] { feed("WINNER\t0\r\nSEAT_ANTE\t0\t0\t0\t0\t0\t0\r\nCHAT\tx> y\r\nSEAT\t1\r\nOK\tLOGIN\r\n"); },
         ActionMode::Betting, {}},
        {"Pass", [this] { protocol->cmdPass_Click(); }, ActionMode::Idle, {"BET\t-1"}},
        {"bet", server("BET"), ActionMode::Betting, {}},
        {"Call", [this] { protocol->cmdCall_Click(); }, ActionMode::Idle, {"BET\t0"}},
        {"bet", server("BET"), ActionMode::Betting, {}},
        {"Raise, empty box", [this] { protocol->cmdRaise_Click(""); }, ActionMode::Idle, {"BET\t"}},
        {"bet", server("BET"), ActionMode::Betting, {}},
        {"Raise, any text", [this] { protocol->cmdRaise_Click("lots"); }, ActionMode::Idle, {"BET\tlots"}},
        {"deal", server("STARTGAME\t1\t2\t3\t4\t5"), ActionMode::CardChanging, {}},
        {"Done, nothing marked", [this] { protocol->cmdDone_Click(); }, ActionMode::Idle, {"EXCHANGE"}},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.what);
        step.act();
        EXPECT_EQ(view.mode(), step.mode);
        EXPECT_EQ(sent(), step.sent);
    }
    EXPECT_EQ(view.attentions, 4) << "every BET asks for attention";
}

TEST_F(PlayerActions, NewGameAndJoinGamePromptAndSendTheAnswerAsTyped) {
    dialogs.answers = {"test game", "3", "", "x y"};
    protocol->mnuNewGame_Click();
    protocol->mnuJoinGame_Click();
    protocol->mnuJoinGame_Click();  // answered empty: nothing sent
    protocol->mnuNewGame_Click();
    protocol->mnuJoinGame_Click();  // cancelled
    EXPECT_EQ(sent(), (Lines{"NEWGAME\ttest game", "JOINGAME\t3", "NEWGAME\tx y"}));
    ASSERT_EQ(dialogs.prompts.size(), 5u);
    EXPECT_EQ(dialogs.prompts[0], (Prompt{"Game name", "New Game", "test game"}));
    EXPECT_EQ(dialogs.prompts[1], (Prompt{"Game number", "Join Game", "1"}));
}

TEST_F(PlayerActions, SendsAreTracedAndAFailedSendOnlyShowsTheStatus) {
    protocol->mnuStartGame_Click();
    EXPECT_EQ(sent(), Lines{"STARTGAME"});
    EXPECT_EQ(view.trace, ">STARTGAME\r\n");
    link.up = false;
    protocol->mnuStartGame_Click();
    EXPECT_EQ(view.status(), "winsock_SendCmd error");
    EXPECT_EQ(view.trace, ">STARTGAME\r\n");
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

TEST_F(PlayerActions, ExitDuringAGameLeavesRightAfterTheNextDealsExit) {
    line("STARTGAME\t1\t2\t3\t4\t5");
    protocol->mnuExit_Click();
    EXPECT_EQ(sent(), Lines{"EXIT"});
    EXPECT_EQ(view.status(), "Exiting after this round.");
    EXPECT_EQ(view.closes, 0);

    view.draws.clear();
    line("STARTGAME\t10\t11\t12\t13\t14");
    EXPECT_EQ(sent(), Lines{"EXIT"});
    EXPECT_TRUE(view.draws.empty()) << "the new cards are not shown";
    EXPECT_EQ(hand.Card(0), 1);
    EXPECT_EQ(protocol->ExitMode, 0);
    EXPECT_TRUE(protocol->Playing);
    EXPECT_EQ(view.closes, 1);
}

TEST_F(PlayerActions, ADealWhileTheWindowClosesSendsExitAndStopsPlaying) {
    line("STARTGAME\t1\t2\t3\t4\t5");
    protocol->Form_Unload();
    EXPECT_EQ(protocol->ExitMode, 2);
    EXPECT_TRUE(link.writes.empty()) << "closing itself sends nothing";
    line("STARTGAME\t10\t11\t12\t13\t14");
    EXPECT_EQ(sent(), Lines{"EXIT"});
    EXPECT_FALSE(protocol->Playing);
    EXPECT_EQ(hand.Card(0), 1);
    EXPECT_EQ(view.closes, 1);
}

}  // namespace
}  // namespace client::testing
