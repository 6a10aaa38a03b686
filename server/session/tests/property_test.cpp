// Random valid and malformed lines from ten sessions, with connects and
// disconnects; the server's invariants are checked after every step.
// QUORVANE_SEED=<n> replays a run.

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <random>
#include <set>

#include "poker/cards.h"
#include "server/session/tests/harness.h"

namespace server::testing {
namespace {

class LineMaker {
public:
    explicit LineMaker(std::mt19937& rng) : rng_(rng) {}

    std::string make() {
        static const char* words[] = {"LOGIN", "LOGOUT", "NEWGAME", "JOINGAME", "SEAT", "STARTGAME",
                                      "EXCHANGE", "BET", "CHAT", "EXIT", "BOGUS"};
        static const int weights[] = {6, 1, 3, 5, 1, 4, 12, 16, 2, 1, 1};
        std::discrete_distribution<int> pick(std::begin(weights), std::end(weights));
        const std::string word = words[pick(rng_)];
        std::string line = decorate(word);
        if (word == "LOGIN" || word == "NEWGAME" || word == "CHAT") {
            if (pct(90)) line += "\t" + text();
        } else if (word == "JOINGAME") {
            if (pct(95)) line += "\t" + number(-2, 12);
        } else if (word == "EXCHANGE") {
            const int n = std::uniform_int_distribution<int>(0, 7)(rng_);
            for (int i = 0; i < n; ++i) line += "\t" + (pct(90) ? number(-1, 5) : pct(50) ? "" : text());
        } else if (word == "BET") {
            if (pct(95)) line += "\t" + amount();
        } else if (pct(10)) {
            line += "\t" + text();
        }
        return line;
    }

private:
    bool pct(int p) { return std::uniform_int_distribution<int>(0, 99)(rng_) < p; }
    std::string number(int lo, int hi) { return std::to_string(std::uniform_int_distribution<int>(lo, hi)(rng_)); }
    std::string decorate(const std::string& word) {
        std::string w = word;
        if (pct(10))
            for (char& c : w) c = static_cast<char>(c - 'A' + 'a');
        if (pct(5)) w = " " + w + "  ";
        return w;
    }
    std::string text() {
        static const char* texts[] = {"", "ann", "Bob", "x y", "\\t", "\xC4pfel", "1", "-7"};
        return texts[std::uniform_int_distribution<int>(0, 7)(rng_)];
    }
    std::string amount() {
        switch (std::uniform_int_distribution<int>(0, 9)(rng_)) {
            case 0: return "-1";
            case 1: return "0";
            case 2: return "0";
            case 3: return number(1, 50);
            case 4: return number(-100, 100);
            case 5: return "2147483647";
            case 6: return number(1000000000, 2147483647);
            case 7: return "abc";
            case 8: return "99999999999";
            default: return number(1, 5);
        }
    }
    std::mt19937& rng_;
};

using Membership = std::array<std::set<const clsClient*>, 10>;

Membership membership(Server& s) {
    Membership m;
    for (int t = 1; t <= 10; ++t)
        for (int i = 0; i < 6; ++i)
            if (s.game(t).Occupied(i)) m[t - 1].insert(s.game(t).Seats[i]);
    return m;
}

std::int64_t allChips(Server& s) {
    std::int64_t c = 0;
    for (int i = 1; i <= 10; ++i) c += std::int64_t{s.client(i).Bank} + s.client(i).Ante + s.game(i).DepartedPot;
    return c;
}

void checkInvariants(Server& s, const std::string& voidClient, const std::string& voidGame) {
    ASSERT_EQ(describe(s.core->g_VoidClient), voidClient);
    ASSERT_EQ(describe(s.core->g_VoidGame), voidGame);
    for (int i = 1; i <= 10; ++i) {
        // Every table report line has the command and six values.
        for (const auto& line : s.lines(i)) {
            if (line.rfind("SEAT_", 0) == 0) {
                ASSERT_EQ(std::count(line.begin(), line.end(), '\t'), 6) << line;
            }
        }
        // A seated session and its seat agree.
        clsClient& c = s.client(i);
        if (c.InGame()) {
            ASSERT_GE(c.seatno, 0);
            ASSERT_EQ(c.m_Game->Seats[c.seatno], &c);
        } else {
            ASSERT_EQ(c.seatno, -1);
            ASSERT_EQ(c.Ante, 0);
        }
    }
    for (int t = 1; t <= 10; ++t) {
        clsGame& g = s.game(t);
        std::set<int> cards;
        int dealt = 0;
        for (int i = 0; i < 6; ++i) {
            if (g.Seats[i] != &s.core->g_VoidClient) {
                ASSERT_TRUE(g.Occupied(i));
                ASSERT_EQ(g.Seats[i]->seatno, i);
            }
            // Whoever is in the hand (exchanging or betting) was dealt into it,
            // and the players dealt into the hand hold cards no one else holds.
            const int state = g.Seats[i]->ClientState;
            if (g.Occupied(i) && state >= clsClient::WaitChange && state <= clsClient::MakeBet) {
                ASSERT_TRUE(g.DealtIn(i)) << "table " << t << " seat " << i;
            }
            if (!g.DealtIn(i)) continue;
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
    if (const char* env = std::getenv("QUORVANE_SEED")) seed = static_cast<unsigned>(std::strtoul(env, nullptr, 10));
    SCOPED_TRACE("QUORVANE_SEED=" + std::to_string(seed));
    std::mt19937 rng(seed);
    std::mt19937 deckRng(seed + 1);
    Server s([&deckRng] { return std::uniform_real_distribution<double>(0.0, 1.0)(deckRng); });
    LineMaker maker(rng);
    const std::string voidClient = describe(s.core->g_VoidClient);
    const std::string voidGame = describe(s.core->g_VoidGame);
    // Slots with a player in them get most of the traffic.
    std::uniform_int_distribution<int> slotPick(1, 10);
    std::uniform_int_distribution<int> roll(0, 999);

    for (int step = 0; step < 30000; ++step) {
        const int i = slotPick(rng);
        const auto tablesBefore = membership(s);
        std::array<std::int64_t, 10> chipsBefore{};
        for (int t = 1; t <= 10; ++t) chipsBefore[t - 1] = s.game(t).Chips();
        const std::int64_t allBefore = allChips(s);
        bool connection = false;
        std::string what;

        if (s.sock(i).st == ISocket::kClosed) {
            what = "connect";
            s.connect(i);
            connection = true;
        } else if (roll(rng) < 4) {
            what = "disconnect";
            s.disconnect(i);
            connection = true;
        } else {
            what = maker.make();
            int split = -1;
            if (roll(rng) < 100) split = std::uniform_int_distribution<int>(0, static_cast<int>(what.size()))(rng);
            if (split >= 0) {
                s.receive(i, what.substr(0, split));
                s.receive(i, what.substr(split) + "\r\n");
            } else {
                s.send(i, what);
            }
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
        if (!connection) {
            ASSERT_EQ(allChips(s), allBefore);
        }
    }
}

}  // namespace
}  // namespace server::testing
