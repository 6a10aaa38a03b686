// The session's own commands, the table commands and refused input.

#include <gtest/gtest.h>

#include "server/session/tests/harness.h"

namespace server::testing {
namespace {

using Lines = std::vector<std::string>;

TEST(Login, GreetingThenPromptForAnythingButLogin) {
    Server s;
    s.connect(1);
    EXPECT_EQ(s.lines(1), (Lines{"HELLO\tQuorvane v0.924", "LOGIN"}));
    EXPECT_EQ(s.client(1).ClientState, clsClient::WaitLogin);
    for (const char* line : {"SEAT", "CHAT\thello", "EXIT", "FOO\tbar", "NEWGAME\tx"}) {
        SCOPED_TRACE(line);
        s.send(1, line);
        EXPECT_EQ(s.lines(1), (Lines{"LOGIN"}));
    }
    for (const char* line : {"LOGIN\t", "LOGIN"}) {
        SCOPED_TRACE(line);
        s.send(1, line);
        EXPECT_EQ(s.lines(1), (Lines{"ERROR\tLOGIN", "LOGIN"}));
        EXPECT_EQ(s.client(1).m_username, "");
    }
    s.send(1, " login \tAnn Lee\xC0");
    EXPECT_EQ(s.lines(1), (Lines{"OK\tLOGIN"}));
    EXPECT_EQ(s.client(1).m_username, "ann lee\xE0");
    EXPECT_EQ(s.client(1).ClientState, clsClient::GameSelect);
    // Logged in: a second LOGIN and unknown words get no answer.
    s.send(1, "LOGIN\tbob");
    s.send(1, "EXIT");
    EXPECT_TRUE(s.lines(1).empty());
    EXPECT_EQ(s.client(1).m_username, "ann lee\xE0");
}

TEST(Login, SeatAndLogout) {
    Server s;
    s.login(1, "ann");
    s.send(1, "SEAT");
    EXPECT_EQ(s.lines(1), (Lines{"SEAT\t-1"}));
    s.send(1, "LOGOUT");
    EXPECT_TRUE(s.lines(1).empty());
    EXPECT_EQ(s.client(1).ClientState, clsClient::WaitLogin);
    s.send(1, "SEAT");
    EXPECT_EQ(s.lines(1), (Lines{"LOGIN"}));
    s.send(1, "LOGIN\tann");
    EXPECT_EQ(s.lines(1), (Lines{"OK\tLOGIN"}));
}

TEST(Login, ReconnectStartsAfresh) {
    Server s;
    s.login(1, "ann");
    s.client(1).Bank = 17;
    s.disconnect(1);
    EXPECT_EQ(s.client(1).ClientState, clsClient::Void);
    EXPECT_EQ(s.sock(1).st, ISocket::kClosed);
    s.connect(1);
    EXPECT_EQ(s.client(1).Bank, 1000);
    EXPECT_EQ(s.client(1).m_username, "");
    EXPECT_EQ(s.client(1).ClientState, clsClient::WaitLogin);
}

TEST(Framing, LinesSplitOverChunksAndEmptyLines) {
    Server s;
    s.connect(1);
    s.lines(1);
    s.receive(1, "\r\nLOGIN\tann\r\nSEAT\r");
    EXPECT_EQ(s.lines(1), (Lines{"OK\tLOGIN"}));
    s.receive(1, "\n\r\n");
    EXPECT_EQ(s.lines(1), (Lines{"SEAT\t-1"}));
}

TEST(Tables, NewGameWhenAllTenAreActive) {
    Server s;
    for (int i = 1; i <= 10; ++i) {
        s.login(i, "p" + std::to_string(i));
        s.send(i, "NEWGAME\tg" + std::to_string(i));
        EXPECT_EQ(s.lines(i), (Lines{"OK\tNEWGAME " + std::to_string(i), "SEAT\t0"}));
    }
    EXPECT_EQ(s.game(10).GameName, "g10");
    const std::string before = snapshot(s);
    s.send(10, "NEWGAME\tmore");
    EXPECT_EQ(s.lines(10), (Lines{"ERROR\tNEWGAME"}));
    EXPECT_EQ(snapshot(s), before);
    // The lowest table freed is taken next, its seats reset.
    s.disconnect(3);
    s.send(10, "NEWGAME\tmore");
    EXPECT_EQ(s.lines(10), (Lines{"OK\tNEWGAME 3", "SEAT\t0"}));
    EXPECT_EQ(s.game(3).GameName, "more");
    EXPECT_FALSE(s.game(10).Active());
    EXPECT_EQ(s.client(10).ClientState, clsClient::WaitStart);
}

TEST(Tables, SeventhJoinIsRefused) {
    Server s;
    for (int i = 1; i <= 7; ++i) s.login(i, "p" + std::to_string(i));
    s.send(1, "NEWGAME\tfull");
    for (int i = 2; i <= 6; ++i) {
        s.send(i, "JOINGAME\t1");
        EXPECT_EQ(s.lines(i), (Lines{"OK\tJOINGAME", "SEAT\t" + std::to_string(i - 1)}));
    }
    s.clearAll();
    const std::string before = snapshot(s);
    s.send(7, "JOINGAME\t1");
    EXPECT_EQ(s.lines(7), (Lines{"ERROR\tJOINGAME"}));
    EXPECT_TRUE(s.lines(1).empty());
    EXPECT_EQ(snapshot(s), before);
    // A seat freed by a disconnect is given to the next joiner.
    s.disconnect(3);
    s.send(7, "JOINGAME\t1");
    EXPECT_EQ(s.lines(7), (Lines{"OK\tJOINGAME", "SEAT\t2"}));
}

TEST(Tables, JoinerIsReportedToTheOthersFirst) {
    Server s;
    s.login(1, "ann");
    s.login(2, "bob");
    s.send(1, "NEWGAME\tt");
    s.lines(1);
    s.send(2, "JOINGAME\t1");
    EXPECT_EQ(s.lines(1), report("0\t0\t0\t0\t0\t0", "ann\tbob\t\t\t\t", "3\t2\t0\t0\t0\t0", "-1\t-1\t-1\t-1\t-1\t-1",
                                 "1000\t1000\t1000\t1000\t1000\t1000"));
    EXPECT_EQ(s.lines(2), (Lines{"OK\tJOINGAME", "SEAT\t1"}));
    // A table nobody created can be joined too.
    s.login(3, "cy");
    s.send(3, "JOINGAME\t7");
    EXPECT_EQ(s.lines(3), (Lines{"OK\tJOINGAME", "SEAT\t0"}));
}

TEST(Chat, RelaysToTheTableOnlyTheFirstField) {
    Server s;
    seatPlayers(s, {"Ann", "bob"});
    s.login(3, "cy");
    s.send(1, "  chat\thello\tworld");
    EXPECT_EQ(s.lines(1), (Lines{"CHAT\tann> hello"}));
    EXPECT_EQ(s.lines(2), (Lines{"CHAT\tann> hello"}));
    EXPECT_TRUE(s.lines(3).empty());
    // At no table the chat reaches nobody.
    s.send(3, "CHAT\t\\t is not a tab");
    EXPECT_TRUE(s.lines(1).empty());
    EXPECT_TRUE(s.lines(3).empty());
    s.send(2, "CHAT\t\\t stays");
    EXPECT_EQ(s.lines(1), (Lines{"CHAT\tbob> \\t stays"}));
}

// Malformed input is answered with ERROR and the command word and changes nothing.
TEST(Refused, MalformedCommandsChangeNothing) {
    Server s;
    seatPlayers(s, {"ann", "bob"});
    s.send(1, "STARTGAME");
    s.send(1, "EXCHANGE\t1");
    s.clearAll();
    const struct {
        const char* line;
        const char* answer;
    } cases[] = {
        {"JOINGAME", "ERROR\tJOINGAME"},     {"JOINGAME\tx", "ERROR\tJOINGAME"},
        {"JOINGAME\t0", "ERROR\tJOINGAME"},  {"JOINGAME\t11", "ERROR\tJOINGAME"},
        {"JOINGAME\t3x", "ERROR\tJOINGAME"}, {"JOINGAME\t-1", "ERROR\tJOINGAME"},
        {"NEWGAME", "ERROR\tNEWGAME"},       {"CHAT", "ERROR\tCHAT"},
        {"BET", "ERROR\tBET"},               {"BET\tabc", "ERROR\tBET"},
        {"BET\t1.5", "ERROR\tBET"},          {"BET\t99999999999", "ERROR\tBET"},
        {"BET\t", "ERROR\tBET"},             {"EXCHANGE\t5", "ERROR\tEXCHANGE"},
        {"EXCHANGE\t1\t-1", "ERROR\tEXCHANGE"}, {"EXCHANGE\t0\tx\t1", "ERROR\tEXCHANGE"},
        {"EXCHANGE\t 2.0", "ERROR\tEXCHANGE"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        const std::string before = snapshot(s);
        s.send(2, c.line);
        EXPECT_EQ(s.lines(2), (Lines{c.answer}));
        EXPECT_TRUE(s.lines(1).empty());
        EXPECT_EQ(snapshot(s), before);
    }
    const std::string before = snapshot(s);
    s.receive(2, "\r\n\r\n");
    EXPECT_TRUE(s.lines(2).empty());
    EXPECT_EQ(snapshot(s), before);
}

TEST(Refused, HandCommandsAtNoTableAreIgnored) {
    Server s;
    seatPlayers(s, {"ann"});
    s.login(2, "bob");
    s.send(1, "STARTGAME");
    s.clearAll();
    const std::string before = snapshot(s);
    for (const char* line : {"STARTGAME", "EXCHANGE\t1\t2", "EXCHANGE\t9", "BET\t10", "BET\t0", "BET\t-1", "BET\tx"}) {
        SCOPED_TRACE(line);
        s.send(2, line);
        EXPECT_TRUE(s.lines(2).empty());
        EXPECT_TRUE(s.lines(1).empty());
        EXPECT_EQ(snapshot(s), before);
    }
}

TEST(Connection, OverlongLineClosesTheConnection) {
    Server s;
    seatPlayers(s, {"ann", "bob"});
    s.receive(2, "CHAT\tbye\r\n" + std::string(wire::kMaxPendingBytes + 1, 'x'));
    EXPECT_EQ(s.lines(1).front(), "CHAT\tbob> bye");
    EXPECT_EQ(s.sock(2).st, ISocket::kClosed);
    EXPECT_EQ(s.log, (Lines{"Receive buffer overflow: index=2"}));
    EXPECT_EQ(s.client(2).ClientState, clsClient::Void);
    EXPECT_FALSE(s.game(1).Occupied(1));
    // A long line that does end in time is fine.
    s.receive(1, "CHAT\t" + std::string(1000, 'y'));
    s.receive(1, "\r\n");
    EXPECT_EQ(s.sock(1).st, ISocket::kConnected);
    EXPECT_EQ(s.lines(1).back().size(), 5 + 5 + 1000u);
}

TEST(Connection, SendsToAFailedSocketAreDropped) {
    Server s;
    seatPlayers(s, {"ann", "bob"});
    s.sock(2).st = ISocket::kError;
    s.send(1, "CHAT\thi");
    s.send(1, "STARTGAME");
    EXPECT_TRUE(s.sock(2).sent.empty());
    EXPECT_EQ(s.sock(2).dropped, 0);
    EXPECT_EQ(s.lines(1).front(), "CHAT\tann> hi");
}

}  // namespace
}  // namespace server::testing
