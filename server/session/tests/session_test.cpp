// The session's own commands, the table commands and refused input.

#include <gtest/gtest.h>

#include "server/session/tests/harness.h"

namespace server::testing {
namespace {

TEST(Login, GreetingPromptAndLogin) {
    Server s;
    s.connect(1);
    EXPECT_EQ(s.lines(1), (L{"HELLO\tQuorvane v0.924", "LOGIN"}));
    const struct {
        const char* line;
        L answer;
        const char* name;
    } cases[] = {
        {"SEAT", {"LOGIN"}, ""},
        {"CHAT\thello", {"LOGIN"}, ""},
        {"FOO\tbar", {"LOGIN"}, ""},
        {"NEWGAME\tx", {"LOGIN"}, ""},
        {"LOGIN\t", {"ERROR\tLOGIN", "LOGIN"}, ""},
        {"LOGIN", {"ERROR\tLOGIN", "LOGIN"}, ""},  // no field 1: an empty name
        {" login \tAnn Lee\xC0", {"OK\tLOGIN"}, "ann lee\xE0"},
        // Logged in: a second LOGIN and unknown words get no answer.
        {"LOGIN\tbob", {}, "ann lee\xE0"},
        {"EXIT", {}, "ann lee\xE0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        s.send(1, c.line);
        EXPECT_EQ(s.lines(1), c.answer);
        EXPECT_EQ(s.client(1).m_username, c.name);
    }
    EXPECT_EQ(s.client(1).ClientState, wire::state::GameSelect);
}

TEST(Login, SeatLogoutAndReconnect) {
    Server s;
    s.login(1, "ann");
    s.send(1, "SEAT");
    EXPECT_EQ(s.lines(1), L{"SEAT\t-1"});
    s.send(1, "LOGOUT");
    EXPECT_TRUE(s.lines(1).empty());
    s.send(1, "SEAT");
    EXPECT_EQ(s.lines(1), L{"LOGIN"});
    // Lines may come split over chunks; empty lines are ignored.
    s.receive(1, "\r\nLOGIN\tann\r\nSEAT\r");
    EXPECT_EQ(s.lines(1), L{"OK\tLOGIN"});
    s.receive(1, "\n\r\n");
    EXPECT_EQ(s.lines(1), L{"SEAT\t-1"});
    // A new connection in the slot starts afresh.
    s.client(1).Bank = 17;
    s.disconnect(1);
    EXPECT_EQ(s.sock(1).st, ISocket::kClosed);
    s.connect(1);
    EXPECT_EQ(s.client(1).Bank, 1000);
    EXPECT_EQ(s.client(1).m_username, "");
    EXPECT_EQ(s.client(1).ClientState, wire::state::WaitLogin);
}

TEST(Tables, NewGameWhenAllTenAreActive) {
    Server s;
    for (int i = 1; i <= 10; ++i) {
        s.login(i, "p" + std::to_string(i));
        s.send(i, "NEWGAME\tg" + std::to_string(i));
        EXPECT_EQ(s.lines(i), (L{"OK\tNEWGAME " + std::to_string(i), "SEAT\t0"}));
    }
    const std::string before = snapshot(s);
    s.send(10, "NEWGAME\tmore");
    EXPECT_EQ(s.lines(10), L{"ERROR\tNEWGAME"});
    EXPECT_EQ(snapshot(s), before);
    // The lowest table freed is taken next.
    s.disconnect(3);
    s.send(10, "NEWGAME\tmore");
    EXPECT_EQ(s.lines(10), (L{"OK\tNEWGAME 3", "SEAT\t0"}));
    EXPECT_EQ(s.game(3).GameName, "more");
    EXPECT_FALSE(s.game(10).Active());
}

TEST(Tables, JoinersAreReportedAndTheSeventhIsRefused) {
    Server s;
    for (int i = 1; i <= 7; ++i) s.login(i, "p" + std::to_string(i));
    s.send(1, "NEWGAME\tfull");
    s.lines(1);
    s.send(2, "JOINGAME\t1");
    EXPECT_EQ(s.lines(1), report("", "p1 p2", "3 2", "", ""));
    for (int i = 2; i <= 6; ++i) {
        if (i > 2) s.send(i, "JOINGAME\t1");
        EXPECT_EQ(s.lines(i), (L{"OK\tJOINGAME", "SEAT\t" + std::to_string(i - 1)}));
    }
    s.clearAll();
    const std::string before = snapshot(s);
    s.send(7, "JOINGAME\t1");
    EXPECT_EQ(s.lines(7), L{"ERROR\tJOINGAME"});
    EXPECT_TRUE(s.lines(1).empty());
    EXPECT_EQ(snapshot(s), before);
    // A seat freed by a disconnect goes to the next joiner; a table nobody
    // created can be joined too.
    s.disconnect(3);
    s.send(7, "JOINGAME\t1");
    EXPECT_EQ(s.lines(7), (L{"OK\tJOINGAME", "SEAT\t2"}));
    s.login(8, "p8");
    s.send(8, "JOINGAME\t7");
    EXPECT_EQ(s.lines(8), (L{"OK\tJOINGAME", "SEAT\t0"}));
}

TEST(Chat, RelaysTheFirstFieldToTheTableOnly) {
    Server s;
    s.seat({"Ann", "bob"});
    s.login(3, "cy");
    s.send(1, "  chat\thello\tworld");
    EXPECT_EQ(s.lines(1), L{"CHAT\tann> hello"});
    EXPECT_EQ(s.lines(2), L{"CHAT\tann> hello"});
    s.send(3, "CHAT\tnobody hears");
    s.send(2, "CHAT\t\\t stays");
    EXPECT_EQ(s.lines(1), L{"CHAT\tbob> \\t stays"});
    EXPECT_TRUE(s.lines(3).empty());
}

// Input that must change nothing: malformed commands are answered with ERROR
// and the word, hand commands at no table and a showdown with nobody betting
// get no answer at all. Slot 1 (ann) and 2 (bob) are dealt, neither has
// exchanged; slot 3 (cy) is at no table.
TEST(Refused, InputThatChangesNothing) {
    Server s;
    s.seat({"ann", "bob"});
    s.login(3, "cy");
    s.send(1, "STARTGAME");
    s.clearAll();
    const struct {
        int slot;
        const char* line;
        L answer;
    } cases[] = {
        {2, "JOINGAME", {"ERROR\tJOINGAME"}},
        {2, "JOINGAME\tx", {"ERROR\tJOINGAME"}},
        {2, "JOINGAME\t0", {"ERROR\tJOINGAME"}},
        {2, "JOINGAME\t11", {"ERROR\tJOINGAME"}},
        {2, "JOINGAME\t3x", {"ERROR\tJOINGAME"}},
        {2, "JOINGAME\t-1", {"ERROR\tJOINGAME"}},
        {2, "NEWGAME", {"ERROR\tNEWGAME"}},
        {2, "CHAT", {"ERROR\tCHAT"}},
        {2, "BET", {"ERROR\tBET"}},
        {2, "BET\tabc", {"ERROR\tBET"}},
        {2, "BET\t1.5", {"ERROR\tBET"}},
        {2, "BET\t99999999999", {"ERROR\tBET"}},
        {2, "BET\t", {"ERROR\tBET"}},
        {2, "EXCHANGE\t5", {"ERROR\tEXCHANGE"}},
        {2, "EXCHANGE\t1\t-1", {"ERROR\tEXCHANGE"}},
        {2, "EXCHANGE\t0\tx\t1", {"ERROR\tEXCHANGE"}},
        {2, "EXCHANGE\t 2.0", {"ERROR\tEXCHANGE"}},
        {2, "", {}},
        // A call while nobody is betting: a showdown that announces and pays nobody.
        {2, "BET\t0", {}},
        {3, "STARTGAME", {}},
        {3, "EXCHANGE\t1\t2", {}},
        {3, "EXCHANGE\t9", {}},
        {3, "BET\t10", {}},
        {3, "BET\t0", {}},
        {3, "BET\t-1", {}},
        {3, "BET\tx", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        const std::string before = snapshot(s);
        s.send(c.slot, c.line);
        EXPECT_EQ(s.lines(c.slot), c.answer);
        EXPECT_TRUE(s.lines(1).empty());
        EXPECT_EQ(snapshot(s), before);
    }
}

TEST(Connection, OverlongLineClosesTheConnection) {
    Server s;
    s.seat({"ann", "bob"});
    s.receive(2, "CHAT\tbye\r\n" + std::string(wire::kMaxPendingBytes + 1, 'x'));
    EXPECT_EQ(s.lines(1).front(), "CHAT\tbob> bye");
    EXPECT_EQ(s.sock(2).st, ISocket::kClosed);
    EXPECT_EQ(s.log, L{"Receive buffer overflow: index=2"});
    EXPECT_EQ(s.client(2).ClientState, wire::state::Void);
    EXPECT_FALSE(s.game(1).Occupied(1));
    // A long line that does end in time is fine.
    s.receive(1, "CHAT\t" + std::string(1000, 'y'));
    s.receive(1, "\r\n");
    EXPECT_EQ(s.lines(1).back().size(), 5 + 5 + 1000u);
}

}  // namespace
}  // namespace server::testing
