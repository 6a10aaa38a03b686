// The session's commands and whole hands, lines in and lines out.

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <sstream>
#include <stdexcept>
#include <tuple>

#include "server/session/tests/harness.h"

namespace server::testing {
namespace {

// Two players, chunk by chunk: the login prompt for anything before a LOGIN, a
// hand, LOGOUT. Features are agreed to the known words, once each, in the order
// asked; extension lines go only to bob, who asked; a new login has none.
TEST(Session, TwoPlayersLineByLine) {
    const std::string ann = "ann@[z\xE0\xD7\xFE\xDF";  // 0xD7, the multiplication sign, has no lower case
    const L deal = report("5 5", ann + " bob", "4 4", "", "995 995");
    const L afterAnn = report("5 5", ann + " bob", "4 4", "2", "995 995");
    const L afterBob = report("5 5", ann + " bob", "5 4", "2 0", "995 995");
    const L afterRaise = report("15 5", ann + " bob", "5 5", "2 0", "985 995");
    const L end = report("15 15", ann + " bob", "5 6", "2 0", "985 985");
    const L next = report("5 5", ann + " bob", "4 4", "", "980 1010");
    const L shown = {"SHOWDOWN\t0\t0\t10\t2\t11\t4\tFlush K Q 6 4 2",
                     "SHOWDOWN\t1\t5\t6\t7\t8\t9\tStraight Flush J", "RESULT\t1\t30\tStraight Flush J"};
    const std::tuple<int, std::string, L, L> steps[] = {
        {1, "SEAT\r\nchat\thello\r\nFOO\r\nNEWGAME\tx\r\n", {"LOGIN", "LOGIN", "LOGIN", "LOGIN"}, {}},
        {1, "\r\nLOGIN\t\r\nLOGIN\r\n", {"ERROR\tLOGIN", "LOGIN", "ERROR\tLOGIN", "LOGIN"}, {}},
        {1, " login \tAnn@[Z\xC0\xD7\xDE\xDF\r\n", {"OK\tLOGIN"}, {}},
        {1, "LOGIN\tbob\r\nEXIT\r\nSEAT\r\n", {"SEAT\t-1"}, {}},
        {2, "GAMES\r\nLOGIN\tbob\r\nGAMES\r\nFEATURES\tgames\tbogus\tturn\tgames\r\n", L{},
         L{"LOGIN", "OK\tLOGIN", "FEATURES\tgames\tturn"}},
        {1, "NEWGAME\tfirst\r\n", {"OK\tNEWGAME 1", "SEAT\t0"}, {}},
        {2, "GAMES\r\nJOINGAME\t1\r\n", report("", ann + " bob", "3 2", "", ""),
         L{"GAME\t1\tfirst\t1\t0", "GAMES_END", "OK\tJOINGAME", "SEAT\t1"}},
        {1, "STARTGAME\r\n", L{"STARTGAME\t0\t1\t2\t3\t4"} + deal, L{"STARTGAME\t5\t6\t7\t8\t9"} + deal},
        {2, "FEATURES\tshowdown\tturn\tgames\r\nGAMES\r\n", L{},
         L{"FEATURES\tshowdown\tturn\tgames", "GAME\t1\tfirst\t2\t1", "GAMES_END"}},
        {1, "EXCHANGE\t1\t3\r\n", afterAnn + L{"EXCHANGE\t0\t10\t2\t11\t4"}, afterAnn},
        {2, "EXCHANGE\r\n", afterBob + L{"BET"}, afterBob + L{"EXCHANGE\t5\t6\t7\t8\t9", "TURN\t0\t0\t10"}},
        {1, "BET\t10\r\n", afterRaise, afterRaise + L{"TURN\t1\t10\t20", "BET"}},
        {2, "BET\t0\r\n", end + L{"WINNER\t1", "STARTGAME\t0\t1\t2\t3\t4"} + next,
         end + shown + L{"WINNER\t1", "STARTGAME\t5\t6\t7\t8\t9"} + next},
        {1, "LOGOUT\r\nSEAT\r\n", {"LOGIN"}, report("0 5", "- bob", "0 4", "", "1000 1010")},
        {2,
         "LOGOUT\r\nFEATURES\tgames\r\nLOGIN\t" + std::string(wire::kMaxNameBytes + 1, 'n') + "\r\nLOGIN\t" +
             std::string(wire::kMaxNameBytes, 'n') + "\r\nGAMES\r\n",
         L{}, L{"LOGIN", "ERROR\tLOGIN", "LOGIN", "OK\tLOGIN"}},
        {2, "FEATURES\tgames\r\nNEWGAME\tx\r\nSTARTGAME\r\nGAMES\r\nFEATURES\r\nGAMES\r\n", L{},
         L{"FEATURES\tgames", "OK\tNEWGAME 1", "SEAT\t0", "STARTGAME\t0\t1\t2\t3\t4"} +
             report("5", std::string(wire::kMaxNameBytes, 'n'), "4", "", "1005") +
             L{"GAME\t1\tx\t1\t1", "GAMES_END", "FEATURES"}}};
    Server s;
    s.connect(1);
    s.connect(2);
    EXPECT_EQ(s.lines(1), (L{"HELLO\tQuorvane v0.924", "LOGIN"}));
    s.lines(2);
    for (const auto& [slot, chunk, to1, to2] : steps) {
        SCOPED_TRACE(chunk);
        s.receive(slot, chunk);
        EXPECT_EQ(s.lines(1), to1);
        EXPECT_EQ(s.lines(2), to2);
    }
}

// Rows: players | script | what they were told | their banks ("-" once gone). Slots 1..n sit
// in seats 0..n-1, asking for turn and showdown. Script: "t<cards>" the first deck's top, "d"
// slot 1 deals, "k<i>" seat i keeps his cards, "x<i>:<p>*<n>" he replaces card p n times,
// "b<i>:<n>" he bets n, "l<i>" he leaves, "c<i>" he comes back with a new game, "$<i>:<n>" his
// bank becomes n, "j<i>" he comes back to table 1, "?<i>:<n>" notes if a bet of n is in range (y/n), "h"
// notes the hands; "x<i>:<p>+<q>" replaces several cards in one exchange. Told: the log in brackets, each
// TURN, FOLD, SHOWDOWN, RESULT, WINNER and ERROR line once, TABs as commas.
TEST(Hand, WholeHands) {
    const std::string sf6 = "Straight Flush 6", sfJ = "Straight Flush J";
    const std::string rows[] = {
        // The deal skips an empty seat; a bank below the ante goes negative.
        "3|l1 $0:3 d h|0,1,2,3,4 5,6,7,8,9 |-2 - 995 ",
        // An empty stock takes the discards made before this exchange, in order; nobody draws back his own.
        "2|d x0:1+3 x1:0 h|TURN,0,0,10 0,10,2,11,4 12,6,7,8,9 |995 995 ",
        "2|d x0:3*42+1 x1:0 h|TURN,0,0,10 0,1,2,51,4 3,6,7,8,9 |995 995 ",
        "2|d x0:0*42 x1:0 d x0:0*42 h|TURN,0,0,10 51,1,2,3,4 5,6,7,8,9 |995 995 ",  // after a reshuffle too
        // A second reshuffle takes only the discards made since the first.
        "3|d x0:0*37 x1:0*38 x2:0 h|TURN,0,0,15 51,1,2,3,4 50,6,7,8,9 5,11,12,13,14 |995 995 995 ",
        "2|d k0 k1 b0:10 b1:20 b0:5 b1:-1|TURN,0,0,10 TURN,1,10,20 TURN,0,20,50 TURN,1,5,75 FOLD,1 "
        "RESULT,0,75, WINNER,0 |1030 960 ",
        // Only the seats still betting show their cards.
        "3|d k0 k1 k2 b0:10 b1:-1 b2:0|TURN,0,0,15 TURN,1,10,25 FOLD,1 TURN,2,10,25 SHOWDOWN,0,0,1,2,3,4," +
            sf6 + " SHOWDOWN,2,10,11,12,13,14,High Card A K Q 3 2 RESULT,0,35," + sf6 +
            " WINNER,0 |1015 990 980 ",
        "3|d k0 k1 k2 b0:10 b1:-1 b2:5 b0:-1|TURN,0,0,15 TURN,1,10,25 FOLD,1 TURN,2,10,25 TURN,0,5,40 FOLD,0 "
        "RESULT,2,40, WINNER,2 |980 990 1015 ",                       // won by folds: no cards shown
        "1|d k0 b0:10|TURN,0,0,5 RESULT,0,15, WINNER,0 |995 ",        // a lone bettor is paid
        "1|d k0 b0:-1|TURN,0,0,5 FOLD,0 RESULT,0,5, WINNER,0 |995 ",  // a lone fold ends the hand too
        // Nobody bets or exchanges out of turn: the hand waits for the last to exchange.
        "4|d k0 k1 b3:-1 b0:0 k2 x2:0 k3 b1:0|ERROR,BET ERROR,BET ERROR,EXCHANGE TURN,0,0,20 ERROR,BET "
        "|995 995 995 995 ",
        // Stakes left when everyone walked away do not go to a new game.
        "2|d l0 l1 c0 d k0 b0:0|[Game 1: 10 chips of an abandoned hand cleared] "
        "TURN,0,0,5 RESULT,0,5, WINNER,0 |995 - ",
        "2|t0,14,2,3,4,13,1,15,16,30 d k0 k1 b0:0|TURN,0,0,10 [WinsOf untermined] SHOWDOWN,0,0,14,2,3,4,"
        "Straight 6 SHOWDOWN,1,13,1,15,16,30,Straight 6 RESULT,0,10,Straight 6 WINNER,0 |1000 990 ",
        // A new deal refunds a hand cut short, not a paid one; a leaver's stake goes to the next winner.
        "3|d k0 k1 k2 b0:20 b1:0 l1 d k0 k2 b0:-1|TURN,0,0,15 TURN,1,20,35 TURN,2,20,55 TURN,0,0,35 "
        "FOLD,0 RESULT,2,35, WINNER,2 |990 - 1025 ",
        // The last one to exchange leaves, the player on turn leaves, one is left.
        "4|d k1 k2 k3 l0 b1:10 l2 l3|TURN,1,0,20 TURN,2,10,30 TURN,3,10,30 RESULT,1,30, WINNER,1 "
        "|- 1010 - - ",
        "2|d k0 l1|RESULT,0,10, WINNER,0 |1000 - ",
        // Nobody of the hand is left: who sat down during it gets the next, and its stakes.
        "3|l2 d j2 l0 l1 k2 b2:0|TURN,2,0,15 RESULT,2,15, WINNER,2 |- - 1005 ",
        // Bets past 32 bits, once everyone still betting has called: the pot,
        // a caller's bank, what seat 2 or the bettor could win (unless he has folded).
        "3|d k0 k1 k2 ?0:715827877 ?0:715827878 $1:-2147483000 ?0:648 ?0:649 $1:995 $2:2147483000 ?0:316 "
        "?0:317|TURN,0,0,15 y n y n y n |995 995 2147483000 ",
        "3|d k0 k1 k2 $0:2147483637 ?0:0 $0:2147483632 ?0:0 $0:-2147483648 ?0:1 ?0:0 b0:1"
        "|TURN,0,0,15 n y n y ERROR,BET |-2147483648 995 995 ",
        "3|d k0 k1 k2 $0:2147483637 ?1:0 b0:-1 ?1:0 ?1:1073741816 ?1:1073741817"
        "|TURN,0,0,15 n FOLD,0 TURN,1,0,15 y y n |2147483637 995 995 ",
    };
    const std::string kTold = " TURN, FOLD, SHOWDOWN, RESULT, WINNER, ERROR,";
    for (const std::string& row : rows) {
        SCOPED_TRACE(row);
        const auto bar1 = row.find('|'), bar2 = row.find('|', bar1 + 1);
        const int n = std::stoi(row);
        Server s;
        s.seat(L(n, "p"));
        for (int i = 1; i <= n; ++i) s.send(i, "FEATURES\tturn\tshowdown");
        std::string told;
        std::istringstream script(row.substr(bar1 + 1, bar2 - bar1 - 1));
        for (std::string a; script >> a;) {
            const int i = a.size() > 1 ? a[1] - '0' + 1 : 1;  // the slot: seat + 1, slot 1 deals
            const std::string v = a.size() > 3 ? a.substr(3) : "0";
            std::string line = a[0] == 'd' ? "STARTGAME" : a[0] == 'b' ? "BET\t" + v : "EXCHANGE";
            std::istringstream positions(a[0] == 'x' ? v : "");
            for (std::string p; std::getline(positions, p, '+');)
                for (int k = p.size() > 2 ? std::stoi(p.substr(2)) : 1; k > 0; --k)
                    line += "\t" + p.substr(0, 1);
            if (std::strchr("dbkx", a[0])) s.send(i, line);
            std::istringstream cards(a[0] == 't' ? a.substr(1) : "");
            for (std::string c; std::getline(cards, c, ',');) s.top.push_back(std::stoi(c));
            if (a[0] == 'l') s.disconnect(i);
            if (a[0] == 'c' || a[0] == 'j')
                s.login(i, "p"), s.send(i, "FEATURES\tturn\tshowdown"),
                    s.send(i, a[0] == 'c' ? "NEWGAME\tx" : "JOINGAME\t1");
            if (a[0] == '$')
                s.client(i).Bank = std::stoi(v), s.invariants = std::make_unique<Invariants>(*s.core);
            if (a[0] == '?') told += s.core->game(1).betInRange(s.client(i), std::stoi(v)) ? "y " : "n ";
            for (const std::string& entry : std::exchange(s.log, {})) told += "[" + entry + "] ";
            std::string step;  // a line several of them got is noted once
            for (int slot = 1; slot <= n; ++slot)
                for (std::string got : s.lines(slot)) {
                    std::replace(got.begin(), got.end(), '\t', ',');
                    const std::string word = " " + got.substr(0, got.find(',')) + ",";
                    if (kTold.find(word) != std::string::npos &&
                        (" " + step).find(" " + got + " ") == std::string::npos)
                        step += got + " ";
                }
            told += step;
            for (int slot = 1; a == "h" && slot <= n; ++slot)
                for (int p = 0; p < 5 && s.client(slot).InGame(); ++p)
                    told += std::to_string(s.client(slot).card(p)) + (p < 4 ? "," : " ");
        }
        std::string banks;
        for (int i = 1; i <= n; ++i)
            banks += s.client(i).InGame() ? std::to_string(s.client(i).Bank) + " " : "- ";
        EXPECT_EQ(told + "|" + banks, row.substr(bar2 + 1));
    }
}

// An eleventh NEWGAME, a seventh JOINGAME wait for a free table or seat; a CHAT relays its first field.
TEST(Session, NewGameJoinGameAndChat) {
    Server s;
    for (int i = 1; i <= 10; ++i) {
        s.login(i, "p" + std::to_string(i));
        s.send(i, "NEWGAME\tg");
        EXPECT_EQ(s.lines(i), (L{"OK\tNEWGAME " + std::to_string(i), "SEAT\t0"}));
    }
    s.refused(10, "NEWGAME\tmore", {"ERROR\tNEWGAME"});
    s.disconnect(1);
    s.send(10, "NEWGAME\tmore");
    EXPECT_EQ(s.lines(10), (L{"OK\tNEWGAME 1", "SEAT\t0"}));
    for (int i = 2; i <= 7; ++i) s.send(i, "JOINGAME\t10");
    EXPECT_EQ(s.lines(7), (L{"OK\tJOINGAME", "SEAT\t5"}));
    const L seen = s.lines(2);  // the newcomer, as the others see him sit down: from no table
    EXPECT_EQ(seen.at(seen.size() - 3), "SEAT_STATE\t3\t3\t3\t3\t3\t2");
    s.send(8, "FEATURES\treasons");
    s.refused(8, "JOINGAME\t10", {"ERROR\tJOINGAME\ttable 10 is full"});
    s.disconnect(2);
    s.send(8, "JOINGAME\t10");
    EXPECT_EQ(s.lines(8), (L{"OK\tJOINGAME", "SEAT\t0"}));
    s.send(3, "CHAT\thi\tthere");
    EXPECT_EQ(s.lines(8), L{"CHAT\tp3> hi"});
}

// Slots 1 and 2 are dealt, 3 is at no table, 4 took the seat of one dealt in.
TEST(Session, RefusedInputChangesNothing) {
    Server s;
    s.seat({"ann", "bob", "eve"});
    s.send(1, "STARTGAME");
    s.disconnect(3);
    s.login(3, "cy");
    s.login(4, "dan");
    s.send(4, "JOINGAME\t1");
    // Slot 3 is told nothing, the others ERROR and the command's word.
    const char* rows[] = {"2JOINGAME\t0",     "2JOINGAME\t11", "2JOINGAME\t1", "2CHAT",   "2BET\tx",
                          "2BET\t2147483647", "2EXCHANGE\t5",  "4EXCHANGE",    "2",       "3STARTGAME",
                          "3EXCHANGE\t1",     "3EXCHANGE\t9",  "3BET\t-1",     "3BET\tx", "3CHAT\thi"};
    for (const std::string r : rows) {
        SCOPED_TRACE(r);
        const std::string word = r.substr(1, r.find('\t') - 1);
        s.refused(r[0] - '0', r.substr(1), r[0] == '3' || word.empty() ? L{} : L{"ERROR\t" + word});
    }
}

// An overlong line and a command that throws close the connection, with a log line; the others go on.
TEST(Session, FaultsCloseTheConnection) {
    Server s([](std::span<std::int16_t>) { throw std::runtime_error("no deck"); });
    s.seat({"ann", "bob"});
    s.receive(2, "CHAT\tbye\r\n" + std::string(wire::kMaxPendingBytes + 1, 'x'));
    EXPECT_EQ(s.lines(1), L{"CHAT\tbob> bye"} + report("", "ann", "3", "", ""));
    s.send(1, "STARTGAME");
    EXPECT_EQ(s.log, (L{"Receive buffer overflow: index=2", "Session error: index=1 err=no deck"}));
    for (int i : {1, 2})
        EXPECT_TRUE(s.sock(i).st == ISocket::kClosed && s.client(i).ClientState == wire::state::Void);
    s.connect(2);  // nothing of the overlong line is left
    s.send(2, "LOGIN\tbob");
    EXPECT_EQ(s.lines(2).back(), "OK\tLOGIN");
    s.login(3, "cy");
    // A long line that ends in time is fine; so is the listing of its name.
    s.receive(3, "NEWGAME\t" + std::string(wire::kMaxPendingBytes - 8, 'y'));
    s.receive(3, "\r\nFEATURES\tgames\r\nGAMES\r\n");
    EXPECT_EQ(s.core->game(1).GameName.size(), wire::kMaxPendingBytes - 8);
    // Nothing is sent that a client would drop: "CHAT\tcy> " and CR LF take 11 bytes.
    s.lines(3);
    s.send(3, "CHAT\t" + std::string(wire::kMaxPendingBytes - 11, 'c'));
    EXPECT_EQ(s.lines(3).at(0).size(), wire::kMaxPendingBytes - 2);
    s.send(3, "CHAT\t" + std::string(wire::kMaxPendingBytes - 10, 'c'));
    EXPECT_EQ(s.lines(3), L{"ERROR\tCHAT"});
    EXPECT_THROW(s.client(3).card(5), std::out_of_range);
    for (int i : {0, 11}) {
        EXPECT_THROW(s.core->client(i), std::out_of_range);
        EXPECT_THROW(s.core->game(i), std::out_of_range);
    }
}

// Once his turn time is up, a player exchanges nothing, or folds.
TEST(Session, TurnTimeActsForSlowPlayers) {
    Server s;
    auto now = std::chrono::steady_clock::time_point{};
    s.core->setClock([&] { return now; });
    s.core->setTurnTime(std::chrono::seconds(30));
    auto after = [&](int seconds) { now += std::chrono::seconds(seconds), s.core->expireTurns(); };
    s.seat({"ann", "bob"});
    s.send(2, "FEATURES\tturn");
    s.send(1, "STARTGAME");
    s.send(2, "EXCHANGE\t0");
    after(29);
    after(1);  // ann's exchange, then her turn begins
    after(20);
    s.send(2, "EXCHANGE\t1");  // refused: her time runs on
    after(9);
    EXPECT_TRUE(s.log.size() == 1 && s.core->game(1).onTurn(s.client(1)));
    s.lines(2);
    after(1);
    EXPECT_EQ(s.log, (L{"Turn time: index=1 exchanges nothing", "Turn time: index=1 folds"}));
    EXPECT_EQ(s.lines(2).at(0), "FOLD\t0");
    EXPECT_EQ(s.core->game(1).Seats[1]->Bank, 1000);  // bob won both antes and paid the next one
}

}  // namespace
}  // namespace server::testing
