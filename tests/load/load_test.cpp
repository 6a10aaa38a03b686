// Scripted players at four tables over the loopback beside a peer that misbehaves. Every line a player
// receives is checked against the protocol, every winner is recomputed from the hands, no chip is lost.

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <map>
#include <random>
#include <regex>
#include <set>

#include "poker/hand_value.h"
#include "tests/support/line_client.h"
#include "tests/support/loopback_server.h"

namespace {

using namespace std::chrono_literals;
using Fields = std::vector<std::string>;
using Report = std::map<std::string, Fields>;  // the last SEAT_ANTE .. SEAT_BANK lines by their word

// Every line the server may send: numbers of 32 bits, card codes 0..51.
const std::string kNumber = "(0|-?[1-9][0-9]{0,8}|-?[12][0-9]{9})", kCard = "([0-9]|[1-4][0-9]|5[01])";
const std::regex kServerLine("HELLO\tQuorvane v0\\.924|LOGIN|BET|OK\t(LOGIN|JOINGAME|NEWGAME ([1-9]|10))" +
                             std::string("|(ERROR|CHAT)\t[^\t]*|SEAT\t(-1|[0-5])|WINNER\t[0-5]") +
                             "|(STARTGAME|EXCHANGE)(\t" + kCard +
                             "){5}|SEAT_NAME(\t[^\t]*){6}|SEAT_STATE(\t[0-6]){6}" +
                             "|SEAT_EXCHANGE(\t(-1|[0-9]+)){6}|SEAT_(ANTE|BANK)(\t" + kNumber + "){6}");

long value(const Report& r, const char* row, int seat) { return std::stol(r.at(row).at(seat + 1)); }
bool seated(const Report& r, int seat) { return !r.at("SEAT_NAME").at(seat + 1).empty(); }
long chips(const Report& r) {  // banks and stakes at the table
    long sum = 0;
    for (int i = 0; i < 6; ++i) sum += seated(r, i) ? value(r, "SEAT_BANK", i) + value(r, "SEAT_ANTE", i) : 0;
    return sum;
}

struct Player {
    Player(std::string n, unsigned seed, long chips) : name(std::move(n)), rng(seed), tableChips(chips) {}
    void fail(const std::string& what) { errors += name + ": " + what + "\n"; }
    void send(const std::string& line) { peer->send(line) ? void() : fail("could not send '" + line + "'"); }
    // The next line, checked against the protocol; reports, cards and winners
    // recorded; the chips at the table checked where they stay the same.
    std::optional<std::string> read(support::Ms limit = support::kWaitLimit) {
        auto line = peer->readLine(limit);
        fields.assign(1, "");
        for (char c : line.value_or("")) c == '\t' ? void(fields.emplace_back()) : fields.back().push_back(c);
        const bool cards = fields[0] == "STARTGAME" || fields[0] == "EXCHANGE";
        if (line && (!std::regex_match(*line, kServerLine) ||
                     (cards && std::set(fields.begin(), fields.end()).size() < 6)))
            fail("breaks the protocol: '" + *line + "'");
        if (fields[0].starts_with("SEAT_")) building[fields[0]] = fields;
        if (fields[0] == "SEAT_BANK") report = building;
        if (fields[0] == "SEAT_BANK" && tableChips && chips(report) != tableChips)
            fail("chips: " + std::to_string(chips(report)));
        for (int p = 1; cards && p <= 5; ++p) hand[p - 1] = static_cast<std::int16_t>(std::stoi(fields[p]));
        if (fields[0] == "WINNER") winners.push_back({std::stoi(fields[1]), report, hand});
        return line;
    }
    std::optional<std::string> expect(const std::string& prefix) {
        while (auto line = read())
            if (line->starts_with(prefix)) return line;
        return fail("no line starting with '" + prefix + "'"), std::nullopt;
    }
    // Connects, logs in and sits down with NEWGAME or JOINGAME, which must give this seat.
    bool enter(std::uint16_t port, const std::string& request, int atSeat) {
        peer = std::make_unique<support::LineClient>(port), seat = atSeat;
        send("LOGIN\t" + name), send(request);
        return expect("OK\t" + request.substr(0, request.find('\t'))) &&
               expect("SEAT\t" + std::to_string(atSeat));
    }
    // Answers deals and BET prompts up to the deal after `hands` hands (an end or a silence before it fails).
    // In the first hand seat 0 raises and the others call, so the turn goes round the table; then at random.
    void play(int hands) {
        for (int deals = 0; auto line = read(20s);) {
            if (fields[0] == "STARTGAME" && ++deals > hands) return;
            const int roll = std::uniform_int_distribution(0, 99)(rng),
                      bet = roll < 15 ? -1 : std::max(roll - 74, 0);
            std::string exchange = "EXCHANGE";  // each card is given up with some chance, in increasing order
            for (int p = 0; p < 5; ++p) exchange += roll & (1 << p) ? "\t" + std::to_string(p) : "";
            if (fields[0] == "STARTGAME") send(exchange);
            if (fields[0] == "BET") send("BET\t" + std::to_string(winners.empty() ? 10 * (seat == 0) : bet));
            if (fields[0] == "ERROR") fail("refused: '" + *line + "'");
        }
        fail("no deal after hand " + std::to_string(winners.size()));
    }

    std::string name, errors;
    std::mt19937 rng;
    long tableChips;  // 0: not checked
    std::unique_ptr<support::LineClient> peer;
    Fields fields;  // of the last line
    int seat = -1;
    Report building, report;             // the report being read, the last complete one
    std::array<std::int16_t, 5> hand{};  // the last cards dealt us
    std::vector<std::tuple<int, Report, decltype(hand)>> winners;  // seat, the report before, our hand
};

// Checks the two players at a table: no errors, and each winner they heard agrees and is the one seat left
// betting or the best hand, the lower seat on equal hands. Counts the showdowns.
void checkTable(Player& a, Player& b, std::size_t hands, int& showdowns) {
    EXPECT_EQ(std::tuple(a.errors + b.errors, a.winners.size(), b.winners.size()),
              std::tuple("", hands, hands));
    for (std::size_t n = 0; n < std::min(a.winners.size(), b.winners.size()); ++n) {
        SCOPED_TRACE("hand " + std::to_string(n + 1));
        const auto& [seatA, before, handA] = a.winners[n];
        const auto& [seatB, beforeB, handB] = b.winners[n];
        int best = -1, betting = 0;
        poker::clsHandValue bestHand;
        for (int s = 0; s < 6; ++s) {
            if (!seated(before, s) || value(before, "SEAT_STATE", s) < 5) continue;  // not betting
            if (s != a.seat && s != b.seat) FAIL() << "no hand known for seat " << s;
            poker::clsHandValue hv;
            hv.LoadCards(s == a.seat ? handA : handB), hv.Check_Hand();
            if (++betting == 1 || hv.WinsOf(bestHand).value_or(false)) best = s, bestHand = hv;
        }
        showdowns += betting > 1;
        EXPECT_EQ(std::pair(seatA, seatB), std::pair(best, best)) << "WINNER as the two heard it";
    }
}

long openDescriptors() { return std::distance(std::filesystem::directory_iterator("/proc/self/fd"), {}); }

// Four tables of two honest players, where a ninth sits at table 1 and misbehaves in the first hand, or
// sits at a table of his own. The honest hands go on; what he put in at table 1 goes to one of the two.
TEST(Load, HonestTablesPlayOnBesideAMisbehavingPeer) {
    constexpr int kHands = 20;
    // What he does, whether he sits apart. The server ends his connection.
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
             const long descriptors = openDescriptors();
             const std::string chat = "CHAT\t" + std::string(60 * 1024, 'x') + "\r\n";
             for (std::size_t sent = 0; sent < 64u << 20 && x.sendRaw(chat);) sent += chat.size();
             EXPECT_TRUE(support::waitUntil([&] { return openDescriptors() == descriptors - 1; }))
                 << "the server's end of his connection is still open";
         },
         true},
    };
    for (const auto& [name, misbehave, apart] : rows) {
        SCOPED_TRACE(name);
        const auto window = support::loopbackServer();
        const std::uint16_t port = window->listeningPort();
        std::deque<Player> p;  // 2t and 2t + 1 at table t + 1, then him; chips checked where nobody leaves
        for (unsigned i = 0; i < 9; ++i)
            p.emplace_back(i < 8 ? "p" + std::to_string(i) : "xeno", 1000 + i,
                           i < 8 && (i >= 2 || apart) ? 2000 : 0);
        support::runBeside([&] {
            for (int t = 0; t < 8; t += 2)
                if (!p[t].enter(port, "NEWGAME\tt", 0) ||
                    !p[t + 1].enter(port, "JOINGAME\t" + std::to_string(t / 2 + 1), 1))
                    return;
            if (!p[8].enter(port, apart ? "NEWGAME\tquiet" : "JOINGAME\t1", apart ? 0 : 2)) return;
            std::vector<std::jthread> threads;
            threads.emplace_back([&] { misbehave(*p[8].peer); });
            for (int i = 0; i < 8; ++i) threads.emplace_back([&, i] { p[i].play(kHands); });
            for (int t = 0; t < 8; t += 2) p[t].send("STARTGAME");
        });
        EXPECT_TRUE(p[8].peer && p[8].peer->waitEnded()) << "the server kept his connection";
        int showdowns = 0;
        for (int t = 0; t < 8; t += 2) checkTable(p[t], p[t + 1], kHands, showdowns);
        EXPECT_TRUE(showdowns > 4 && showdowns < 4 * kHands) << showdowns;  // both ways a hand can end
        const long atTable1 = apart ? 2000 : 2005;
        EXPECT_EQ(std::pair(chips(p[0].report), chips(p[1].report)), std::pair(atTable1, atTable1));
        EXPECT_TRUE(support::waitUntil([&] { return window->Winsock1(9).state() == 0; })) << "his slot";
    }
}

}  // namespace
