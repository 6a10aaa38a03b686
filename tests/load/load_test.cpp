// Scripted players at four tables beside a peer who misbehaves: no chip lost, the same winners at a table.

#include <gtest/gtest.h>

#include <deque>
#include <map>
#include <random>

#include "tests/support/line_client.h"
#include "tests/support/loopback_server.h"

namespace {

using Fields = std::vector<std::string>;
using Report = std::map<std::string, Fields>;  // the last SEAT_ANTE .. SEAT_BANK lines by their word

long chips(const Report& r) {  // banks and stakes at the table
    long sum = 0;
    for (int i = 1; i <= 6; ++i)
        if (!r.at("SEAT_NAME").at(i).empty())
            sum += std::stol(r.at("SEAT_BANK").at(i)) + std::stol(r.at("SEAT_ANTE").at(i));
    return sum;
}

struct Player {
    Player(std::string n, unsigned seed) : name(std::move(n)), rng(seed) {}
    void fail(const std::string& what) { errors += name + ": " + what + "\n"; }
    // Connects, logs in and sits down with NEWGAME or JOINGAME, which must give this seat.
    bool enter(std::uint16_t port, const std::string& request, int atSeat) {
        peer = std::make_unique<support::LineClient>(port), seat = atSeat;
        peer->send("LOGIN\t" + name), peer->send(request);
        return peer->readUntil("SEAT\t" + std::to_string(atSeat)).has_value();
    }
    // The next line, its fields split; reports and winners recorded.
    std::optional<std::string> read() {
        auto line = peer->readLine(std::chrono::seconds(20));
        fields.assign(1, "");
        for (char c : line.value_or("")) c == '\t' ? void(fields.emplace_back()) : fields.back().push_back(c);
        if (fields[0].starts_with("SEAT_")) building[fields[0]] = fields;
        if (fields[0] == "SEAT_BANK") report = building;
        if (fields[0] == "WINNER") winners.push_back(std::stoi(fields[1]));
        return line;
    }
    // Answers deals and BET prompts up to the deal after `hands` hands (an end or a silence before it fails).
    // In the first hand seat 0 raises and the others call, so the turn goes round the table; then at random.
    void play(std::size_t hands) {
        for (std::size_t deals = 0; auto line = read();) {
            if (fields[0] == "STARTGAME" && ++deals > hands) return;
            const int roll = std::uniform_int_distribution(0, 99)(rng),
                      bet = roll < 15 ? -1 : std::max(roll - 74, 0);
            std::string exchange = "EXCHANGE";  // each card is given up with some chance, in increasing order
            for (int p = 0; p < 5; ++p) exchange += roll & (1 << p) ? "\t" + std::to_string(p) : "";
            if (fields[0] == "STARTGAME") peer->send(exchange);
            if (fields[0] == "BET")
                peer->send("BET\t" + std::to_string(winners.empty() ? 10 * (seat == 0) : bet));
            if (fields[0] == "ERROR") fail("refused: '" + *line + "'");
        }
        fail("no deal after hand " + std::to_string(winners.size()));
    }

    std::string name, errors;
    std::mt19937 rng;
    std::unique_ptr<support::LineClient> peer;
    Fields fields;  // of the last line
    int seat = -1;
    Report building, report;  // the report being read, the last complete one
    std::vector<int> winners;
};

// A ninth player sits at table 1 and misbehaves in the first hand, or at a table of his own. The server ends
// his connection, the honest hands go on, and what he put in at table 1 goes to one of the two there.
TEST(Load, HonestTablesPlayOnBesideAMisbehavingPeer) {
    constexpr std::size_t kHands = 20;
    // What he does, whether he sits apart.
    const std::tuple<const char*, std::function<void(support::LineClient&)>, bool> rows[] = {
        {"over-long line at the deal",
         [](auto& x) { x.readUntil("STARTGAME"), x.sendRaw(std::string(70 << 10, 'x')); }, false},
        {"reset during the exchange", [](auto& x) { x.readUntil("STARTGAME"), x.reset(); }, false},
        {"close while on turn",
         [](auto& x) { x.readUntil("STARTGAME"), x.send("EXCHANGE"), x.readUntil("BET"), x.close(); }, false},
        {"chat flood without reading, at a table of his own",
         [](auto& x) {
             const int small = 64 * 1024;  // his own buffer would hold tens of MiB
             ::setsockopt(x.fd(), SOL_SOCKET, SO_RCVBUF, &small, sizeof small);
             const std::string chat = "CHAT\t" + std::string(60 * 1024, 'x') + "\r\n";
             for (std::size_t sent = 0; sent < 64u << 20 && x.sendRaw(chat);) sent += chat.size();
         },
         true},
    };
    for (const auto& [name, misbehave, apart] : rows) {
        SCOPED_TRACE(name);
        const auto window = support::loopbackServer();
        const std::uint16_t port = window->listeningPort();
        std::deque<Player> p;  // 2t and 2t + 1 at table t + 1, then him
        for (unsigned i = 0; i < 9; ++i) p.emplace_back(i < 8 ? "p" + std::to_string(i) : "xeno", 1000 + i);
        support::runBeside([&] {
            for (int t = 0; t < 8; t += 2)
                if (!p[t].enter(port, "NEWGAME\tt", 0) ||
                    !p[t + 1].enter(port, "JOINGAME\t" + std::to_string(t / 2 + 1), 1))
                    return;
            if (!p[8].enter(port, apart ? "NEWGAME\tquiet" : "JOINGAME\t1", apart ? 0 : 2)) return;
            std::vector<std::jthread> threads;
            threads.emplace_back([&] { misbehave(*p[8].peer); });
            for (int i = 0; i < 8; ++i) threads.emplace_back([&, i] { p[i].play(kHands); });
            for (int t = 0; t < 8; t += 2) p[t].peer->send("STARTGAME");
        });
        EXPECT_TRUE(p[8].peer && p[8].peer->waitEnded()) << "the server kept his connection";
        for (int t = 0; t < 8; t += 2) {
            SCOPED_TRACE("table " + std::to_string(t / 2 + 1));
            const long atTable = t == 0 && !apart ? 2005 : 2000;
            EXPECT_EQ(p[t].errors + p[t + 1].errors, "");
            EXPECT_EQ(std::pair(p[t].winners.size(), p[t].winners), std::pair(kHands, p[t + 1].winners));
            EXPECT_EQ(std::pair(chips(p[t].report), chips(p[t + 1].report)), std::pair(atTable, atTable));
        }
    }
}

}  // namespace
