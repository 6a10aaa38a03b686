// The answer to the server's LOGIN line in each command-line case.
#include <gtest/gtest.h>

#include <QStringList>

#include "client/protocol/qt_ports.h"
#include "fakes.h"

namespace client::testing {
namespace {

using Login = ProtocolTest;

TEST_F(Login, AnEmptyCommandLineAsksForTheUserName) {
    dialogs.answers = {"Bob"};
    line("LOGIN");
    ASSERT_EQ(dialogs.prompts.size(), 1u);
    EXPECT_EQ(dialogs.prompts[0].prompt, "Enter username");
    EXPECT_EQ(dialogs.prompts[0].title, "");
    EXPECT_EQ(dialogs.prompts[0].defaultAnswer, "");
    EXPECT_EQ(sent(), Lines{"LOGIN\tBob"});
    EXPECT_EQ(view.trace, "LOGIN\r\n>LOGIN Bob\r\n");
}

TEST_F(Login, AnEmptyOrCancelledNameSendsNothingAndTheNextLoginAsksAgain) {
    dialogs.answers = {""};
    line("LOGIN");
    line("LOGIN");  // cancelled
    EXPECT_EQ(dialogs.prompts.size(), 2u);
    EXPECT_TRUE(sent().empty());
}

TEST_F(Login, TestModeCreatesTheGameAndStartsTheSecondCopy) {
    start("-test");
    feed("HELLO\tQuorvane v0.924\r\nLOGIN\r\n");
    EXPECT_TRUE(dialogs.prompts.empty());
    EXPECT_EQ(sent(), (Lines{"LOGIN\tTestPlayer1", "NEWGAME\tTestGame"}));
    EXPECT_EQ(desktop.copies, Lines{"-test2"});
    EXPECT_EQ(view.trace, "HELLO Quorvane v0.924\r\nLOGIN\r\n>LOGIN TestPlayer1\r\n>NEWGAME TestGame\r\n");
}

TEST_F(Login, SecondTestCopyJoinsGameOneAndStartsIt) {
    start("-test2");
    line("LOGIN");
    EXPECT_TRUE(dialogs.prompts.empty());
    EXPECT_EQ(sent(), (Lines{"LOGIN\tTestPlayer2", "JOINGAME\t1", "STARTGAME"}));
    EXPECT_TRUE(desktop.copies.empty());
    EXPECT_EQ(view.trace, "LOGIN\r\n>LOGIN TestPlayer2\r\n>JOINGAME 1\r\n>STARTGAME\r\n");
}

TEST_F(Login, AnyOtherCommandLineNeitherAsksNorLogsIn) {
    for (const char* commandLine : {"-TEST", "-test ", " -test2", "-test3", "hello world"}) {
        SCOPED_TRACE(commandLine);
        start(commandLine);
        line("LOGIN");
        EXPECT_TRUE(dialogs.prompts.empty());
        EXPECT_TRUE(sent().empty());
        EXPECT_TRUE(desktop.copies.empty());
    }
}

TEST(CommandLine, IsEveryArgumentAfterTheProgramJoinedBySpaces) {
    EXPECT_EQ(CommandLineOf({"Tessarin"}), "");
    EXPECT_EQ(CommandLineOf({"Tessarin", "-test"}), "-test");
    EXPECT_EQ(CommandLineOf({"Tessarin", "-test2"}), "-test2");
    EXPECT_EQ(CommandLineOf({"Tessarin", "-test", ""}), "-test ");
    EXPECT_EQ(CommandLineOf({"Tessarin", "a", "b c"}), "a b c");
}

}  // namespace
}  // namespace client::testing
