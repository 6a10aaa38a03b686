// Whole hands at one table: the betting, the showdown, players leaving, and
// the amounts a bet may reach.

#include <gtest/gtest.h>

#include <sstream>

#include "server/engine/tests/table.h"

namespace server::testing {
namespace {

std::string fields(const Player& p) {
    return std::to_string(p.Bank) + "/" + std::to_string(p.Ante) + "/" + std::to_string(p.ClientState) + " ";
}

// Each row: players | script | events | bank/ante/state of each ("-" once
// gone). The script: "t<cards>" the next deck's top, "d" deal, "c<i>" player i
// creates the game anew, "k<i>" player
// i keeps his cards (as the session's EXCHANGE does), "l<i>" he leaves,
// "b<i>:<n>" he bets n, "$<i>:<n>" his bank becomes n, "s<i>:<n>" his state,
// "?<i>:<n>" notes whether a bet of n is in range ("y"/"n").
TEST(Betting, WholeHands) {
    const char* rows[] = {
        // Seat 1's straight flush to the jack beats seat 0's to the six.
        "2|d k0 k1 b0:10 b1:20 b0:0|B0 B1 B0 W1 W1 |960/5/4 1030/5/4 ",
        "2|d k0 k1 b0:10 b1:10 b0:10|B0 B1 B0 B1 |965/35/5 975/25/6 ",
        "3|d k0 k1 k2 b0:10 b1:-1 b2:5 b0:-1|B0 B1 A15\t5\t5\t0\t0\t0 A15\t5\t5\t0\t0\t0 A15\t5\t5\t0\t0\t0 "
        "B2 B0 "
        "W2 W2 W2 |980/5/4 990/5/4 1015/5/4 ",
        "1|d k0 b0:10|B0 W0 |995/5/4 ",                    // a lone bettor is paid
        "1|d k0 b0:-1|B0 A5\t0\t0\t0\t0\t0 W0 |995/5/4 ",  // a lone fold ends the hand too
        // Stakes left when everyone walked away do not go to a new game.
        "2|d l0 l1 c0 d k0 b0:0|[Game 1: 10 chips of an abandoned hand cleared] B0 W0 |990/5/4 - ",
        "2|d b0:0||995/5/4 995/5/4 ",  // nobody betting: nobody paid
        "2|b0:0||1000/0/0 1000/0/0 ",  // nor before the first deal
        "2|d b0:-1 b1:-1|A5\t5\t0\t0\t0\t0 A5\t5\t0\t0\t0\t0 A5\t5\t0\t0\t0\t0 A5\t5\t0\t0\t0\t0 |995/5/3 "
        "995/5/3 ",
        "2|t0,14,2,3,4,13,1,15,16,30 d k0 k1 b0:0|B0 [WinsOf untermined] W0 W0 |1000/5/4 990/5/4 ",  // a tie
        // A new deal refunds the hand it cuts short; a leaver's stake goes to
        // the next winner; a paid hand is not refunded.
        "3|d k0 k1 k2 b0:20 b1:0 l1 d k0 k2 b2:-1|B0 B1 B2 B0 W0 W0 |1025/5/4 - 990/5/4 ",
        // The last one to exchange leaves, the player on turn leaves, one is left.
        "4|d k1 k2 k3 l0 b1:10 l2 l3|B1 B2 B3 W1 |- 1010/5/4 - - ",
        "2|d k0 l1|W0 |1000/5/4 - ",
        // A fold during the exchange moves the turn; the betting still opens at seat 0.
        "4|d k0 k1 b3:-1 k2|A5\t5\t5\t5\t0\t0 A5\t5\t5\t5\t0\t0 A5\t5\t5\t5\t0\t0 A5\t5\t5\t5\t0\t0 B0 "
        "|995/5/5 995/5/6 995/5/5 995/5/3 ",
        // Bets past 32 bits: the ante, the pot, what seat 1, the bettor or
        // seat 2 could win (unless he has folded), the bank.
        "3|d k0 k1 k2 ?0:2147483647 ?0:2147483643 ?0:2147483642 ?0:2147482700 $0:2000 ?0:2147482000|B0 n n n "
        "n y "
        "|2000/5/5 995/5/5 995/5/5 ",
        "3|d k0 k1 k2 $0:2147483637 ?0:0 $0:2147483632 ?0:0 $0:-2147483648 ?0:1 ?0:0|B0 n y n y "
        "|-2147483648/5/5 995/5/5 995/5/5 ",
        "3|d k0 k1 k2 $2:2147483637 ?0:0 s2:3 ?0:0 $1:0 ?0:2147483632 ?0:2147483633|B0 n y y n "
        "|995/5/5 0/5/5 2147483637/5/3 ",
    };
    for (const std::string row : rows) {
        SCOPED_TRACE(row);
        const auto bar1 = row.find('|'), bar2 = row.find('|', bar1 + 1);
        const int n = std::stoi(row);
        Table t(n);
        std::istringstream script(row.substr(bar1 + 1, bar2 - bar1 - 1));
        for (std::string a; script >> a;) {
            const int i = a.size() > 1 ? a[1] - '0' : 0;
            const int v = a.size() > 3 ? std::stoi(a.substr(3)) : 0;
            if (a[0] == 't')
                for (std::istringstream cards(a.substr(1)); std::getline(cards, a, ',');)
                    t.top.push_back(stoi(a));
            if (a[0] == 'd') t.game.StartGame();
            if (a[0] == 'k') t[i].ClientState = wire::state::WaitBet, t.game.NextGameAction();
            if (a[0] == 'l') t.game.removeClient(t[i]);
            if (a[0] == 'c') t.game.CreateGame(t[i], "again");
            if (a[0] == '$') t[i].Bank = v;
            if (a[0] == 's') t[i].ClientState = v;
            if (a[0] == '?') t.events += t.game.betInRange(t[i], v) ? "y " : "n ";
            if (a[0] == 'b' && v < 0) t.game.ClientPass(t[i]);
            if (a[0] == 'b' && v == 0) t.game.ClientCall(t[i]);
            if (a[0] == 'b' && v > 0) t.game.ClientRaise(t[i], v);
        }
        std::string seats;
        for (int i = 0; i < n; ++i) seats += t[i].InGame() ? fields(t[i]) : "- ";
        EXPECT_EQ(t.events + "|" + seats, row.substr(bar2 + 1));
        EXPECT_EQ(fields(t.none) + t.none.sent, "1000/0/0 ");  // the empty seats' player is never touched
    }
}

}  // namespace
}  // namespace server::testing
