// The answer to the server's LOGIN line in each command-line case.
#include <gtest/gtest.h>

#include <QStringList>

#include "client/protocol/qt_ports.h"
#include "fakes.h"

namespace client::testing {
namespace {

using Login = ProtocolTest;

TEST_F(Login, TheAnswerAndTheTraceFollowTheCommandLine) {
    struct Case {
        const char* commandLine;
        std::vector<Prompt> prompts;
        Lines sent, copies;
        const char* trace;
    };
    const Case cases[] = {
        {"", {{"Enter username", "", ""}}, {"LOGIN\tBob"}, {}, "LOGIN\r\n>LOGIN Bob\r\n"},
        {"-test",
         {},
         {"LOGIN\tTestPlayer1", "NEWGAME\tTestGame"},
         {"-test2"},
         "LOGIN\r\n>LOGIN TestPlayer1\r\n>NEWGAME TestGame\r\n"},
        {"-test2",
         {},
         {"LOGIN\tTestPlayer2", "JOINGAME\t1", "STARTGAME"},
         {},
         "LOGIN\r\n>LOGIN TestPlayer2\r\n>JOINGAME 1\r\n>STARTGAME\r\n"},
        {"-TEST", {}, {}, {}, "LOGIN\r\n"},
        {"-test ", {}, {}, {}, "LOGIN\r\n"},
        {" -test2", {}, {}, {}, "LOGIN\r\n"},
        {"hello world", {}, {}, {}, "LOGIN\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.commandLine);
        view = {}, dialogs = {}, desktop = {};
        dialogs.answers = {"Bob"};
        start(c.commandLine);
        line("LOGIN");
        EXPECT_EQ(dialogs.prompts, c.prompts);
        EXPECT_EQ(sent(), c.sent);
        EXPECT_EQ(desktop.copies, c.copies);
        EXPECT_EQ(view.trace, c.trace);
    }
}

TEST_F(Login, AnEmptyOrCancelledNameSendsNothingAndTheNextLoginAsksAgain) {
    dialogs.answers = {""};
    line("LOGIN");
    line("LOGIN");  // cancelled
    EXPECT_EQ(dialogs.prompts.size(), 2u);
    EXPECT_TRUE(sent().empty());
}

TEST(CommandLine, IsEveryArgumentAfterTheProgramJoinedBySpaces) {
    EXPECT_EQ(commandLineOf({"Tessarin"}), "");
    EXPECT_EQ(commandLineOf({"Tessarin", "-test", ""}), "-test ");
    EXPECT_EQ(commandLineOf({"Tessarin", "a", "b c"}), "a b c");
}

}  // namespace
}  // namespace client::testing
