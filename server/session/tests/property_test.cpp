// Random valid and malformed lines from ten sessions, with connects and
// disconnects; the server's invariants are checked after every step.
// QUORVANE_SEED=<n> replays a run.

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <set>

#include "poker/cards.h"
#include "server/session/tests/harness.h"

namespace server::testing {
namespace {

std::string randomLine(std::mt19937& rng) {
    auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
    auto pct = [&](int p) { return pick(100) < p; };
    auto number = [&](int lo, int hi) { return std::to_string(lo + pick(hi - lo + 1)); };
    static const char* texts[] = {"", "ann", "Bob", "x y", "\\t", "\xC4pfel", "1", "-7"};
    static const char* amounts[] = {"-1",         "0",          "0",   "1",          "5",
                                    "2147483647", "1500000000", "abc", "99999999999"};
    static const char* words[] = {"LOGIN",    "LOGOUT", "NEWGAME", "JOINGAME", "SEAT", "STARTGAME",
                                  "EXCHANGE", "BET",    "CHAT",    "EXIT",     "BOGUS"};
    static const int weights[] = {6, 1, 3, 5, 1, 4, 12, 16, 2, 1, 1};
    const std::string word =
        words[std::discrete_distribution<int>(std::begin(weights), std::end(weights))(rng)];
    std::string line = word;
    if (pct(10))
        for (char& c : line) c = static_cast<char>(c - 'A' + 'a');
    if (pct(5)) line = " " + line + "  ";
    if (word == "JOINGAME") {
        if (pct(95)) line += "\t" + number(-2, 12);
    } else if (word == "EXCHANGE") {
        for (int n = pick(8); n > 0; --n) line += "\t" + (pct(90) ? number(-1, 5) : texts[pick(8)]);
    } else if (word == "BET") {
        if (pct(95)) line += "\t" + (pct(40) ? number(-100, 100) : amounts[pick(9)]);
    } else if (pct(word == "LOGIN" || word == "NEWGAME" || word == "CHAT" ? 90 : 10)) {
        line += std::string("\t") + texts[pick(8)];
    }
    return line;
}

// Who sits at each table, to tell when a table's chips may change.
std::array<std::set<const Player*>, 10> membership(Server& s) {
    std::array<std::set<const Player*>, 10> m;
    for (int t = 1; t <= 10; ++t)
        for (int i = 0; i < 6; ++i)
            if (s.game(t).Occupied(i)) m[t - 1].insert(s.game(t).Seats[i]);
    return m;
}

std::int64_t allChips(Server& s) {
    std::int64_t c = 0;
    for (int i = 1; i <= 10; ++i)
        c += std::int64_t{s.client(i).Bank} + s.client(i).Ante + s.game(i).DepartedPot;
    return c;
}

void checkInvariants(Server& s, const std::string& voidClient, const std::string& voidGame) {
    ASSERT_EQ(describe(s.core->g_VoidClient), voidClient);
    ASSERT_EQ(describe(s.core->g_VoidGame), voidGame);
    for (int i = 1; i <= 10; ++i) {
        for (const auto& line : s.lines(i)) {
            if (line.rfind("SEAT_", 0) == 0) {
                ASSERT_EQ(std::count(line.begin(), line.end(), '\t'), 6) << line;
            }
        }
        const clsClient& c = s.client(i);
        if (c.InGame()) {
            ASSERT_EQ(c.m_Game->Seats[c.seatno], &c);
        } else {
            ASSERT_EQ(c.seatno, -1);
            ASSERT_EQ(c.Ante, 0);
        }
    }
    for (int t = 1; t <= 10; ++t) {
        const clsGame& g = s.game(t);
        std::set<int> cards;
        int dealt = 0;
        for (int i = 0; i < 6; ++i) {
            if (g.Seats[i] != s.voidClient()) {
                ASSERT_EQ(g.Seats[i]->seatno, i);
            }
            // Whoever is in the hand was dealt into it, and holds cards no one else at the table holds.
            const int state = g.Seats[i]->ClientState;
            if (g.Occupied(i) && state >= wire::state::WaitChange && state <= wire::state::MakeBet) {
                ASSERT_TRUE(g.DealtIn(*g.Seats[i])) << "table " << t << " seat " << i;
            }
            if (!g.DealtIn(*g.Seats[i])) continue;
            for (int p = 0; p < 5; ++p) {
                ASSERT_TRUE(poker::isCardCode(g.Seats[i]->card(p)));
                cards.insert(g.Seats[i]->card(p));
            }
            ++dealt;
        }
        ASSERT_EQ(cards.size(), 5u * dealt) << "table " << t;
    }
}

TEST(Property, RandomTrafficKeepsTheServerSound) {
    unsigned seed = 20240917;
    if (const char* env = std::getenv("QUORVANE_SEED"))
        seed = static_cast<unsigned>(std::strtoul(env, nullptr, 10));
    SCOPED_TRACE("QUORVANE_SEED=" + std::to_string(seed));
    std::mt19937 rng(seed), deckRng(seed + 1);
    Server s([&deckRng](std::span<std::int16_t> d) { std::shuffle(d.begin(), d.end(), deckRng); });
    const std::string voidClient = describe(s.core->g_VoidClient), voidGame = describe(s.core->g_VoidGame);
    std::uniform_int_distribution<int> slotPick(1, 10), roll(0, 999);

    for (int step = 0; step < 30000; ++step) {
        const int i = slotPick(rng);
        const auto tablesBefore = membership(s);
        std::array<std::int64_t, 10> chipsBefore{};
        for (int t = 1; t <= 10; ++t) chipsBefore[t - 1] = s.game(t).Chips();
        const std::int64_t allBefore = allChips(s);
        std::string what = "connect";
        if (s.sock(i).st == ISocket::kClosed) {
            s.connect(i);
        } else if (roll(rng) < 4) {
            what = "disconnect";
            s.disconnect(i);
        } else {
            what = randomLine(rng);
            // Now and then the line arrives in two chunks.
            const auto split =
                roll(rng) < 100 ? std::uniform_int_distribution<std::size_t>(0, what.size())(rng) : 0;
            s.receive(i, what.substr(0, split));
            s.receive(i, what.substr(split) + "\r\n");
        }
        SCOPED_TRACE("step " + std::to_string(step) + " slot " + std::to_string(i) + ": " + what);
        checkInvariants(s, voidClient, voidGame);
        if (::testing::Test::HasFatalFailure()) return;
        // Chips stay at a table while its players stay, and overall except
        // where a connection starts or ends.
        const auto tablesAfter = membership(s);
        for (int t = 0; t < 10; ++t) {
            if (tablesBefore[t] == tablesAfter[t]) {
                ASSERT_EQ(s.game(t + 1).Chips(), chipsBefore[t]) << "table " << t + 1;
            }
        }
        if (what != "connect" && what != "disconnect") {
            ASSERT_EQ(allChips(s), allBefore);
        }
    }
}

}  // namespace
}  // namespace server::testing
