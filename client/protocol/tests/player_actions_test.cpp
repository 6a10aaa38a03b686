// The player's commands: what each sends, and what it does to the screen.
#include <gtest/gtest.h>

#include "fakes.h"

namespace client::testing {
namespace {

using PlayerActions = ProtocolTest;

TEST_F(PlayerActions, NewGameAndJoinGamePromptAndSendTheAnswerAsTyped) {
    dialogs.answers = {"test game", "3", "", "x y"};
    protocol->mnuNewGame_Click();
    protocol->mnuJoinGame_Click();
    protocol->mnuJoinGame_Click();  // answered empty: nothing sent
    protocol->mnuNewGame_Click();
    protocol->mnuJoinGame_Click();  // cancelled
    EXPECT_EQ(sent(), (Lines{"NEWGAME\ttest game", "JOINGAME\t3", "NEWGAME\tx y"}));
    ASSERT_EQ(dialogs.prompts.size(), 5u);
    EXPECT_EQ(dialogs.prompts[0].prompt, "Game name");
    EXPECT_EQ(dialogs.prompts[0].title, "New Game");
    EXPECT_EQ(dialogs.prompts[0].defaultAnswer, "test game");
    EXPECT_EQ(dialogs.prompts[1].prompt, "Game number");
    EXPECT_EQ(dialogs.prompts[1].title, "Join Game");
    EXPECT_EQ(dialogs.prompts[1].defaultAnswer, "1");
}

TEST_F(PlayerActions, StartGameSendsTheBareWordAndTracesIt) {
    protocol->mnuStartGame_Click();
    EXPECT_EQ(sent(), Lines{"STARTGAME"});
    EXPECT_EQ(view.trace, ">STARTGAME\r\n");
}

TEST_F(PlayerActions, DoneSendsTheMarkedPositionsInIncreasingOrderThenGoesIdle) {
    line("STARTGAME\t1\t2\t3\t4\t5");
    hand.CardHidden(4) = true;
    hand.CardHidden(0) = true;
    protocol->cmdDone_Click();
    EXPECT_EQ(sent(), Lines{"EXCHANGE\t0\t4"});
    EXPECT_EQ(view.trace.substr(view.trace.size() - 15), ">EXCHANGE 0 4\r\n");
    EXPECT_EQ(view.mode(), ActionMode::Idle);
    hand.CardHidden(0) = hand.CardHidden(4) = false;
    protocol->cmdDone_Click();
    EXPECT_EQ(sent(), Lines{"EXCHANGE"});
}

TEST_F(PlayerActions, BetButtonsHideTheControlsBeforeSending) {
    struct Case {
        void (ClientProtocol::*press)();
        const char* line;
    };
    for (const Case& c : {Case{&ClientProtocol::cmdPass_Click, "BET\t-1"}, Case{&ClientProtocol::cmdCall_Click, "BET\t0"}}) {
        line("BET");
        view.modes.clear();
        (protocol.get()->*c.press)();
        EXPECT_EQ(view.modes, std::vector<ActionMode>{ActionMode::Idle});
        EXPECT_EQ(sent(), Lines{c.line});
    }
}

TEST_F(PlayerActions, RaiseSendsTheAmountBoxTextUnchanged) {
    const std::pair<const char*, const char*> rows[] = {
        {"25", "BET\t25"}, {"", "BET\t"}, {"0", "BET\t0"}, {"-3", "BET\t-3"}, {"lots", "BET\tlots"}};
    for (const auto& [amount, expected] : rows) {
        line("BET");
        protocol->cmdRaise_Click(amount);
        EXPECT_EQ(view.mode(), ActionMode::Idle);
        EXPECT_EQ(sent(), Lines{expected});
    }
}

TEST_F(PlayerActions, ChatSendsTheTrimmedTextOnlyWhenThereIsSome) {
    protocol->txtChat_Enter("   ");
    protocol->txtChat_Enter("");
    protocol->txtChat_Enter("  hello  ");
    protocol->txtChat_Enter(" two  words ");
    EXPECT_EQ(sent(), (Lines{"CHAT\thello", "CHAT\ttwo  words"}));
    EXPECT_EQ(view.chat, "") << "own messages come back from the server";
}

TEST_F(PlayerActions, ASendThatFailsShowsTheStatusAndIsNotTraced) {
    link.up = false;
    protocol->mnuStartGame_Click();
    EXPECT_EQ(view.status(), "winsock_SendCmd error");
    EXPECT_EQ(view.trace, "");
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
    EXPECT_FALSE(protocol->RequestExit());
    protocol->ExitMode = 0;
    sent();
    protocol->mnuExit_Click();
    EXPECT_EQ(sent(), Lines{"EXIT"});
    EXPECT_EQ(view.status(), "Exiting after this round.");
    EXPECT_EQ(view.closes, 0);

    view.draws.clear();
    line("STARTGAME\t10\t11\t12\t13\t14");
    EXPECT_EQ(sent(), Lines{"EXIT"});
    EXPECT_EQ(view.mode(), ActionMode::CardChanging);
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
