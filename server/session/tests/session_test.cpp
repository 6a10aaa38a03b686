// The session's commands, lines in and lines out, on the in-memory server of
// harness.h, which checks the server's invariants after every step.

#include <gtest/gtest.h>

#include <chrono>
#include <stdexcept>

#include "server/session/tests/harness.h"

namespace server::testing {
namespace {

// One session of two players, chunk by chunk, with the lines each then
// receives: the login prompt for anything before a LOGIN, the example hand
// (ann exchanges positions 1 and 3 and raises 10, bob keeps his cards and
// calls; his straight flush beats hers and the next hand is dealt), LOGOUT.
TEST(Session, TwoPlayersLineByLine) {
    const std::string ann = "ann@[z\xE0\xD7\xFE\xDF";  // 0xD7, the multiplication sign, has no lower case
    const L deal = report("5 5", ann + " bob", "4 4", "", "995 995");
    const L afterAnn = report("5 5", ann + " bob", "4 4", "2", "995 995");
    const L afterBob = report("5 5", ann + " bob", "5 4", "2 0", "995 995");
    const L afterRaise = report("15 5", ann + " bob", "5 5", "2 0", "985 995");
    const L end = report("15 15", ann + " bob", "5 6", "2 0", "985 985") + L{"WINNER\t1"};
    const L next = report("5 5", ann + " bob", "4 4", "", "980 1010");
    const struct {
        int slot;
        const char* chunk;
        L to1, to2;
    } steps[] = {
        {1, "SEAT\r\nchat\thello\r\nFOO\r\nNEWGAME\tx\r\n", {"LOGIN", "LOGIN", "LOGIN", "LOGIN"}, {}},
        {1, "\r\nLOGIN\t\r\nLOGIN\r\n", {"ERROR\tLOGIN", "LOGIN", "ERROR\tLOGIN", "LOGIN"}, {}},
        {1, " login \tAnn@[Z\xC0\xD7\xDE\xDF\r\n", {"OK\tLOGIN"}, {}},
        {1, "LOGIN\tbob\r\nEXIT\r\nSEAT\r", {}, {}},
        {1, "\n\r\n", {"SEAT\t-1"}, {}},
        {2, "LOGIN\tbob\r\n", {}, {"OK\tLOGIN"}},
        {1, "NEWGAME\tfirst\r\n", {"OK\tNEWGAME 1", "SEAT\t0"}, {}},
        {2, "JOINGAME\t1\r\n", report("", ann + " bob", "3 2", "", ""), {"OK\tJOINGAME", "SEAT\t1"}},
        {1, "STARTGAME\r\n", L{"STARTGAME\t0\t1\t2\t3\t4"} + deal, L{"STARTGAME\t5\t6\t7\t8\t9"} + deal},
        {1, "EXCHANGE\t1\t3\r\n", afterAnn + L{"EXCHANGE\t0\t10\t2\t11\t4"}, afterAnn},
        {2, "EXCHANGE\r\n", afterBob + L{"BET"}, afterBob + L{"EXCHANGE\t5\t6\t7\t8\t9"}},
        {1, "BET\t10\r\n", afterRaise, afterRaise + L{"BET"}},
        {2, "BET\t0\r\n", end + L{"STARTGAME\t0\t1\t2\t3\t4"} + next,
         end + L{"STARTGAME\t5\t6\t7\t8\t9"} + next},
        {1, "LOGOUT\r\nSEAT\r\n", {"LOGIN"}, report("0 5", "- bob", "0 4", "", "1000 1010")}};
    Server s;
    s.connect(1);
    s.connect(2);
    EXPECT_EQ(s.lines(1), (L{"HELLO\tQuorvane v0.924", "LOGIN"}));
    s.lines(2);
    for (const auto& step : steps) {
        SCOPED_TRACE(step.chunk);
        s.receive(step.slot, step.chunk);
        EXPECT_EQ(s.lines(1), step.to1);
        EXPECT_EQ(s.lines(2), step.to2);
    }
    EXPECT_EQ(s.client(1).ClientState, wire::state::WaitLogin);
    // A new connection in the slot starts afresh.
    s.disconnect(1);
    s.connect(1);
    EXPECT_EQ(s.client(1).Bank, 1000);
    EXPECT_EQ(s.client(1).ClientState, wire::state::WaitLogin);
}

// Ten players create the ten tables; then six of them join table 10.
TEST(Session, NewGameAndJoinGame) {
    Server s;
    for (int i = 1; i <= 10; ++i) {
        s.login(i, "p" + std::to_string(i));
        s.send(i, "NEWGAME\tg" + std::to_string(i));
        EXPECT_EQ(s.lines(i), (L{"OK\tNEWGAME " + std::to_string(i), "SEAT\t0"}));
    }
    auto refused = [&](int i, const std::string& line) {
        const std::string before = snapshot(*s.core);
        s.send(i, line);
        EXPECT_EQ(s.lines(i), L{"ERROR\t" + line.substr(0, line.find('\t'))});
        EXPECT_EQ(snapshot(*s.core), before);
    };
    refused(10, "NEWGAME\tmore");
    s.disconnect(1);
    s.send(10, "NEWGAME\tmore");  // table 1 is the only free one
    EXPECT_EQ(s.lines(10), (L{"OK\tNEWGAME 1", "SEAT\t0"}));
    for (int i = 2; i <= 7; ++i) {
        s.send(i, "JOINGAME\t10");
        EXPECT_EQ(s.lines(i), (L{"OK\tJOINGAME", "SEAT\t" + std::to_string(i - 2)}));
        if (i == 3) {
            EXPECT_EQ(s.lines(2), report("", "p2 p3", "3 3", "", ""));
        }
    }
    for (int i = 1; i <= 10; ++i) s.lines(i);
    refused(8, "JOINGAME\t10");
    s.disconnect(2);
    s.send(8, "JOINGAME\t10");  // seat 0 is the only free one
    EXPECT_EQ(s.lines(8), (L{"OK\tJOINGAME", "SEAT\t0"}));
    s.send(3, "CHAT\thi\tthere");
    EXPECT_EQ(s.lines(8), L{"CHAT\tp3> hi"});
    s.send(9, "CHAT\tnobody here");
    EXPECT_EQ(s.lines(9), L{"CHAT\tp9> nobody here"});
    EXPECT_TRUE(s.lines(8).empty());
}

// Slots 1 (ann) and 2 (bob) are dealt and have not exchanged, slot 3 (cy) is
// at no table, slot 4 (dan) took the seat of a player dealt in who left, and
// holds no card of this deal.
TEST(Session, RefusedInputChangesNothing) {
    Server s;
    s.seat({"ann", "bob", "eve"});
    s.send(1, "STARTGAME");
    s.disconnect(3);
    s.login(3, "cy");
    s.login(4, "dan");
    s.send(4, "JOINGAME\t1");
    for (int i = 1; i <= 4; ++i) s.lines(i);
    // Slots 2 and 4 are told ERROR and the command's word, slot 3 nothing.
    const char* rows[] = {"2JOINGAME\t0", "2JOINGAME\t11", "2CHAT",   "2BET\tx",    "2BET\t2147483647",
                          "2EXCHANGE\t5", "4EXCHANGE",     "2",       "3STARTGAME", "3EXCHANGE\t1",
                          "3EXCHANGE\t9", "3BET\t-1",      "3BET\tx", "3CHAT\thi"};
    for (const std::string r : rows) {
        SCOPED_TRACE(r);
        const std::string before = snapshot(*s.core), word = r.substr(1, r.find('\t') - 1);
        s.send(r[0] - '0', r.substr(1));
        EXPECT_EQ(s.lines(r[0] - '0'), r[0] == '3' || word.empty() ? L{} : L{"ERROR\t" + word});
        EXPECT_TRUE(s.lines(1).empty());
        EXPECT_EQ(snapshot(*s.core), before);
    }
}

// An overlong line and a command that throws close the connection, with a
// log line; the others go on.
TEST(Session, FaultsCloseTheConnection) {
    Server s([](std::span<std::int16_t>) { throw std::runtime_error("no deck"); });
    s.seat({"ann", "bob"});
    s.receive(2, "CHAT\tbye\r\n" + std::string(wire::kMaxPendingBytes + 1, 'x'));
    EXPECT_EQ(s.lines(1), L{"CHAT\tbob> bye"} + report("", "ann", "3", "", ""));
    s.send(1, "STARTGAME");
    EXPECT_EQ(s.log, (L{"Receive buffer overflow: index=2", "Session error: index=1 err=no deck"}));
    for (int i : {1, 2}) {
        EXPECT_EQ(s.sock(i).st, ISocket::kClosed);
        EXPECT_EQ(s.client(i).ClientState, wire::state::Void);
    }
    s.login(3, "cy");
    s.receive(3, "NEWGAME\t" + std::string(1000, 'y'));  // a long line that ends in time is fine
    s.receive(3, "\r\n");
    EXPECT_EQ(s.game(1).GameName.size(), 1000u);
    // Nothing is sent that a client would drop: "CHAT\tcy> " and CR LF take 11 bytes.
    s.lines(3);
    s.send(3, "CHAT\t" + std::string(wire::kMaxPendingBytes - 11, 'c'));
    EXPECT_EQ(s.lines(3).at(0).size(), wire::kMaxPendingBytes - 2);
    s.send(3, "CHAT\t" + std::string(wire::kMaxPendingBytes - 10, 'c'));
    EXPECT_EQ(s.lines(3), L{"ERROR\tCHAT"});
    s.connect(4);
    s.lines(4);
    s.send(4, "LOGIN\t" + std::string(wire::kMaxNameBytes + 1, 'n'));
    EXPECT_EQ(s.lines(4), (L{"ERROR\tLOGIN", "LOGIN"}));
    s.send(4, "LOGIN\t" + std::string(wire::kMaxNameBytes, 'n'));
    EXPECT_EQ(s.lines(4), L{"OK\tLOGIN"});
    for (int i : {0, 11}) {
        EXPECT_THROW(s.core->client(i), std::out_of_range);
        EXPECT_THROW(s.core->game(i), std::out_of_range);
    }
}

// With a turn time the server exchanges nothing for a player who has not
// exchanged in time, and folds one on turn who has not bet.
TEST(Session, TurnTimeActsForSlowPlayers) {
    Server s;
    auto now = std::chrono::steady_clock::time_point{};
    s.core->setClock([&] { return now; });
    s.core->setTurnTime(std::chrono::seconds(30));
    s.seat({"ann", "bob"});
    s.send(1, "STARTGAME");
    s.send(2, "EXCHANGE\t0");
    now += std::chrono::seconds(29);
    s.core->expireTurns();
    s.log.clear();
    now += std::chrono::seconds(1);
    s.core->expireTurns();  // ann's exchange, then her turn begins
    now += std::chrono::seconds(29);
    s.core->expireTurns();
    EXPECT_TRUE(s.log.size() == 1 && s.game(1).onTurn(s.client(1)));
    now += std::chrono::seconds(1);
    s.core->expireTurns();
    EXPECT_EQ(s.log, (L{"Turn time: index=1 exchanges nothing", "Turn time: index=1 folds"}));
    EXPECT_EQ(s.game(1).Seats[1]->Bank, 1000);  // bob won both antes and paid the next one
}

}  // namespace
}  // namespace server::testing
