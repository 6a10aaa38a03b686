// Ten scripted players at five tables over the loopback, and peers that
// misbehave. Every line a player receives is checked against the protocol,
// every winner is recomputed from the hands, and no chip is lost.

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
    using Hook = std::function<bool(Player&, const std::string&)>;  // true: it took care of the line

    Player(std::string n, unsigned seed) : name(std::move(n)), rng(seed) {}
    void fail(const std::string& what) { errors += name + ": " + what + "\n"; }
    void send(const std::string& line) {
        if (!peer->send(line)) fail("could not send '" + line + "'");
    }
    // The next line, checked against the protocol; reports, cards and winners recorded.
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
        if (cards) hand.clear();
        for (int p = 1; cards && p <= 5; ++p) hand.push_back(static_cast<std::int16_t>(std::stoi(fields[p])));
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
        peer = std::make_unique<support::LineClient>(port);
        send("LOGIN\t" + name);
        send(request);
        const auto ok = expect("OK\t" + request.substr(0, request.find('\t')));
        game = ok && request.starts_with("NEWGAME") ? std::stoi(ok->substr(11)) : game;
        seat = atSeat;
        return ok && expect("SEAT\t" + std::to_string(atSeat));
    }
    // Answers deals and BET prompts at random until the deal after `hands`
    // hands (true), the end of the connection or a silence.
    bool play(int hands, const Hook& hook = {}) {
        for (int deals = 0; auto line = read(20s);) {
            if (hook && hook(*this, *line)) continue;
            if (fields[0] == "STARTGAME" && ++deals > hands) return true;
            const int roll = std::uniform_int_distribution(0, 99)(rng);
            std::string exchange = "EXCHANGE";  // each card is given up with some chance, in increasing order
            for (int p = 0; p < 5; ++p) exchange += roll & (1 << p) ? "\t" + std::to_string(p) : "";
            if (fields[0] == "STARTGAME") send(exchange);
            if (fields[0] == "BET")
                send("BET\t" + std::to_string(roll < 15 ? -1 : roll < 75 ? 0 : roll - 74));
            if (fields[0] == "ERROR") fail("refused: '" + *line + "'");
        }
        return false;
    }

    std::string name, errors;
    std::mt19937 rng;
    std::unique_ptr<support::LineClient> peer;
    Fields fields;  // of the last line
    int game = 0, seat = -1;
    Report building, report;  // the report being read, the last complete one
    std::vector<std::int16_t> hand;
    struct Win {
        int seat;
        Report before;
        std::vector<std::int16_t> hand;
    };
    std::vector<Win> winners;
};

// Checks each winner the two players at a table heard: they agree, and it is
// the one seat left betting or the best hand, the lower seat on equal hands.
// Returns the number of showdowns.
int checkWinners(Player& a, Player& b) {
    int showdowns = 0;
    if (a.winners.size() != b.winners.size()) a.fail("the two heard a different number of winners");
    for (std::size_t n = 0; n < std::min(a.winners.size(), b.winners.size()); ++n) {
        const Player::Win &wa = a.winners[n], &wb = b.winners[n];
        int best = -1, betting = 0;
        poker::clsHandValue bestHand;
        for (int s = 0; s < 6; ++s) {
            if (!seated(wa.before, s) || value(wa.before, "SEAT_STATE", s) < 5) continue;  // not betting
            if (s != a.seat && s != b.seat) return a.fail("no hand known for seat " + std::to_string(s)), 0;
            poker::clsHandValue hv;
            hv.LoadCards(s == a.seat ? wa.hand : wb.hand);
            hv.Check_Hand();
            if (++betting == 1 || hv.WinsOf(bestHand).value_or(false)) best = s, bestHand = hv;
        }
        showdowns += betting > 1;
        if (wa.seat != wb.seat || wa.seat != best)
            a.fail("hand " + std::to_string(n + 1) + ": WINNER " + std::to_string(wa.seat) + "/" +
                   std::to_string(wb.seat) + ", expected " + std::to_string(best));
    }
    return showdowns;
}

std::unique_ptr<server::frmMain> serverWithRepeatableDeals() {
    server::HostHooks hooks;
    hooks.shuffle = [engine = std::make_shared<std::mt19937>(20240611u)](std::span<std::int16_t> deck) {
        std::shuffle(deck.begin(), deck.end(), *engine);
    };
    return support::loopbackServer(hooks);
}

long openDescriptors() { return std::distance(std::filesystem::directory_iterator("/proc/self/fd"), {}); }

int busySlots(server::frmMain& window) {
    int busy = 0;
    for (int i = 1; i <= server::frmMain::kSlots; ++i) busy += window.Winsock1(i).state() != 0;
    return busy;
}

TEST(PlayLoad, TenPlayersAtFiveTablesPlayWholeHands) {
    const auto window = serverWithRepeatableDeals();
    constexpr int kHands = 40;
    std::deque<Player> p;
    for (unsigned i = 0; i < 10; ++i) p.emplace_back("p" + std::to_string(i), 1000 + i);
    std::atomic<int> finished = 0, showdowns = 0;
    support::runBeside([&] {
        for (int t = 0; t < 10; t += 2)
            if (!p[t].enter(window->listeningPort(), "NEWGAME\tt", 0) ||
                !p[t + 1].enter(window->listeningPort(), "JOINGAME\t" + std::to_string(p[t].game), 1))
                return;
        const Player::Hook chipsStay = [](Player& q, const std::string&) {
            if (q.fields[0] == "SEAT_BANK" && chips(q.report) != 2000)
                q.fail("chips: " + std::to_string(chips(q.report)));
            return false;
        };
        std::vector<std::jthread> threads;
        for (Player& q : p) threads.emplace_back([&] { finished += q.play(kHands, chipsStay); });
        for (int t = 0; t < 10; t += 2) p[t].send("STARTGAME");
    });
    for (int t = 0; t < 10; t += 2) showdowns += checkWinners(p[t], p[t + 1]);
    EXPECT_EQ(finished, 10);
    for (const Player& q : p)
        EXPECT_EQ(std::pair(q.errors, q.winners.size()), std::pair(std::string(), std::size_t{kHands}));
    EXPECT_GT(showdowns, 0);  // random play reaches both ways of ending a hand
    EXPECT_LT(showdowns, 5 * kHands);
}

// anna and bert play at table 1, where xeno sits at seat 2 and misbehaves in
// the first hand; with half a line he sits at a table of his own. The honest
// players' hands go on, and what xeno put in goes to one of them.
TEST(FaultLoad, MisbehavingPeersCostTheHonestPlayersNothing) {
    using Misbehave = std::function<void(support::LineClient & x, std::atomic<bool> & honestDone)>;
    // What xeno does, the chips the honest players end with, whether he sits apart.
    const std::tuple<const char*, Misbehave, long, bool> cases[] = {
        {"over-long line at the deal",
         [](auto& x, auto&) {
             x.readUntil("STARTGAME");
             x.sendRaw(std::string(70 * 1024, 'x'));
             EXPECT_TRUE(x.waitEnded()) << "the server kept the connection";
         },
         2005, false},
        {"reset during the exchange", [](auto& x, auto&) { x.readUntil("STARTGAME"), x.reset(); }, 2005,
         false},
        {"close while on turn",
         [](auto& x, auto&) { x.readUntil("STARTGAME"), x.send("EXCHANGE"), x.readUntil("BET"), x.close(); },
         2005, false},
        {"half a line, then silence at a table of his own",
         [](auto& x, auto& honestDone) {
             x.sendRaw("CHAT\thel");
             support::waitUntil([&] { return honestDone.load(); }, 120s);
             x.sendRaw("lo\r\n");  // read as one line with the rest
             EXPECT_EQ(x.readUntil("CHAT"), "CHAT\txeno> hello");
         },
         2000, true},
        {"chat flood without reading, at a table of his own",
         [](auto& x, auto&) {
             const int small = 64 * 1024;  // his own buffer would hold tens of MiB
             ::setsockopt(x.fd(), SOL_SOCKET, SO_RCVBUF, &small, sizeof small);
             const long descriptors = openDescriptors();
             const std::string chat = "CHAT\t" + std::string(60 * 1024, 'x') + "\r\n";
             std::size_t sent = 0;
             while (sent < 64u << 20 && x.sendRaw(chat)) sent += chat.size();
             EXPECT_TRUE(support::waitUntil([&] { return openDescriptors() == descriptors - 1; }))
                 << "the server's end of his connection is still open";
             EXPECT_TRUE(x.waitEnded()) << "the server kept the connection";
         },
         2000, true},
    };
    for (const auto& [name, misbehave, honestChips, ownTable] : cases) {
        SCOPED_TRACE(name);
        const auto window = serverWithRepeatableDeals();
        const std::uint16_t port = window->listeningPort();
        Player a("anna", 31), b("bert", 32), x("xeno", 33);
        std::atomic<bool> honestDone = false, finishedA = false, finishedB = false;
        // In the first hand seat 0 raises and seat 1 calls, so the turn reaches seat 2.
        const Player::Hook raiseFirst = [](Player& p, const std::string& line) {
            if (line != "BET" || !p.winners.empty()) return false;
            return p.send(p.seat == 0 ? "BET\t10" : "BET\t0"), true;
        };
        support::runBeside([&] {
            if (!a.enter(port, "NEWGAME\tfaults", 0) || !b.enter(port, "JOINGAME\t1", 1) ||
                !x.enter(port, ownTable ? "NEWGAME\tquiet" : "JOINGAME\t1", ownTable ? 0 : 2))
                return;
            a.send("STARTGAME");
            std::jthread xeno([&] { misbehave(*x.peer, honestDone); });
            std::jthread bert([&] { finishedB = b.play(10, raiseFirst); });
            finishedA = a.play(10, raiseFirst);
            bert.join();
            honestDone = true;
        });
        EXPECT_TRUE(finishedA && finishedB) << a.errors << b.errors << x.errors;
        checkWinners(a, b);
        EXPECT_EQ(a.errors + b.errors, "");
        EXPECT_EQ(std::pair(chips(a.report), chips(b.report)), std::pair(honestChips, honestChips));
        EXPECT_TRUE(support::waitUntil([&] { return busySlots(*window) == (x.peer->ended() ? 2 : 3); }));
    }
}

// Callers that hang up at once, thirty before each real one, must not take the
// slots from him.
TEST(FloodLoad, CallersWhoHangUpAtOnceDoNotTurnAwayTheNextOne) {
    const auto window = support::loopbackServer();
    int answered = 0;
    for (int round = 0; round < 5; ++round) {
        for (int i = 0; i < 30; ++i) support::LineClient{window->listeningPort()};
        answered += support::LineClient(window->listeningPort()).readLine() == "HELLO\tQuorvane v0.924";
    }
    EXPECT_EQ(answered, 5);
    EXPECT_TRUE(support::waitUntil([&] { return busySlots(*window) == 0; }));
}

}  // namespace
