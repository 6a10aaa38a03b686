#pragma once
// In-memory server for the engine and session tests: ten fake sockets, a core
// with a known deck, and helpers to push lines in and take the lines sent out.

#include <algorithm>
#include <array>
#include <deque>
#include <memory>
#include <span>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "server/engine/game.h"
#include "server/session/client.h"
#include "server/session/server_core.h"
#include "server/session/socket.h"

namespace server::testing {

using L = std::vector<std::string>;

inline L operator+(L a, const L& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

class FakeSocket : public ISocket {
public:
    int st = kClosed;
    std::string inbox, sent;

    int state() const override { return st; }
    void send(std::string_view bytes) override {
        if (st == kConnected) sent += bytes;
    }
    std::string readAll() override { return std::exchange(inbox, {}); }
    void close() override { st = kClosed; }
    std::string peerAddress() const override { return "127.0.0.1"; }
    int peerPort() const override { return 40000; }
};

// A shuffler that puts `first` at the top of the first deck, the other cards
// following in order; every later shuffle leaves the cards as they are.
inline ShuffleFn knownDeck(std::vector<int> first = {}) {
    return [first](std::span<std::int16_t> cards) mutable {
        std::stable_partition(cards.begin(), cards.end(),
                              [&](int c) { return std::find(first.begin(), first.end(), c) != first.end(); });
        std::sort(cards.begin(), cards.begin() + static_cast<long>(first.size()), [&](int a, int b) {
            return std::find(first.begin(), first.end(), a) < std::find(first.begin(), first.end(), b);
        });
        first.clear();
    };
}

class Server {
public:
    explicit Server(ShuffleFn shuffle = knownDeck()) {
        std::array<ISocket*, ServerCore::kSlots> ptrs{};
        for (int i = 0; i < ServerCore::kSlots; ++i) ptrs[i] = &socks[i];
        core = std::make_unique<ServerCore>(
            ptrs, [this](const std::string& s) { log.push_back(s); }, std::move(shuffle));
    }

    FakeSocket& sock(int i) { return socks[i - 1]; }
    clsClient& client(int i) { return core->client(i); }
    clsGame& game(int i) { return core->game(i); }
    const clsClient* voidClient() { return &core->g_VoidClient; }

    void connect(int i) {
        sock(i).st = ISocket::kConnected;
        client(i).winsock_Connect();
    }
    void disconnect(int i) { client(i).winsock_Disconnect(); }
    // One chunk as it arrives on the socket.
    void receive(int i, const std::string& bytes) {
        sock(i).inbox += bytes;
        client(i).winsock_DataArrival(static_cast<long>(bytes.size()));
    }
    void send(int i, const std::string& line) { receive(i, line + "\r\n"); }
    // The complete lines slot i was sent since the last call.
    L lines(int i) {
        L out;
        std::string& sent = sock(i).sent;
        std::size_t from = 0;
        for (auto end = sent.find("\r\n"); end != std::string::npos; end = sent.find("\r\n", from)) {
            out.push_back(sent.substr(from, end - from));
            from = end + 2;
        }
        sent.erase(0, from);
        return out;
    }
    void clearAll() {
        for (int i = 1; i <= 10; ++i) lines(i);
    }
    // Connects and logs in slot i, dropping the greeting.
    void login(int i, const std::string& name) {
        connect(i);
        send(i, "LOGIN\t" + name);
        lines(i);
    }
    // Logs in slots 1..n and seats them in that order at table 1.
    void seat(const L& names) {
        for (std::size_t i = 0; i < names.size(); ++i) login(static_cast<int>(i) + 1, names[i]);
        send(1, "NEWGAME\tt");
        for (std::size_t i = 1; i < names.size(); ++i) send(static_cast<int>(i) + 1, "JOINGAME\t1");
        clearAll();
    }
    // Deals, and slots 1..n exchange nothing, so the betting begins.
    void dealToBetting(int n) {
        send(1, "STARTGAME");
        for (int i = 1; i <= n; ++i) send(i, "EXCHANGE");
        clearAll();
    }

    std::array<FakeSocket, ServerCore::kSlots> socks;
    L log;
    std::unique_ptr<ServerCore> core;
};

// Everything a command may change, as text, to show that a command changed nothing.
inline std::string describe(const Player& c) {
    std::ostringstream d;
    d << c.m_username << '|' << c.m_Game->Index << '|' << c.ClientState << '|' << c.seatno << '|'
      << c.Exchange << '|' << c.Bank << '|' << c.Ante << '|';
    for (int p = 0; p < 5; ++p) d << c.card(p) << ',';
    return d.str();
}

inline std::string describe(const clsGame& g) {
    std::ostringstream d;
    d << g.Index << '|' << g.GameName << '|' << g.GameState << '|' << g.AnteStart << '|' << g.DeckPos << '|'
      << g.BetSeat << '|' << g.DepartedPot << '|';
    for (auto c : g.Deck) d << c << ',';
    for (int i = 0; i < 6; ++i)
        d << (g.Occupied(i) ? std::to_string(static_cast<const clsClient*>(g.Seats[i])->Slot()) : "-");
    return d.str();
}

inline std::string snapshot(Server& s) {
    std::string d = describe(s.core->g_VoidClient) + "\n" + describe(s.core->g_VoidGame) + "\n";
    for (int i = 1; i <= 10; ++i) d += describe(s.client(i)) + "\n" + describe(s.game(i)) + "\n";
    return d;
}

// The five lines of a table report. Each argument lists the values of the
// first seats separated by blanks ("-" for an empty name); the seats not
// listed hold their empty values (ante 0, no name, state 0, exchange -1, bank 1000).
inline L report(const std::string& antes, const std::string& names, const std::string& states,
                const std::string& exchanges, const std::string& banks) {
    auto row = [](const char* word, const std::string& given, const char* empty) {
        std::istringstream in(given);
        std::string line = word, v;
        int n = 0;
        for (; in >> v; ++n) line += "\t" + (v == "-" ? "" : v);
        for (; n < 6; ++n) line += std::string("\t") + empty;
        return line;
    };
    return {row("SEAT_ANTE", antes, "0"), row("SEAT_NAME", names, ""), row("SEAT_STATE", states, "0"),
            row("SEAT_EXCHANGE", exchanges, "-1"), row("SEAT_BANK", banks, "1000")};
}

// The example hand, seen from slots 1 (Ann) and 2 (bob), both logged in, with
// a known deck: each step is a line sent by one slot and the lines each slot
// then receives. ann exchanges positions 1 and 3 and raises 10, bob keeps his
// cards and calls; his straight flush beats her flush and the next hand is dealt.
struct Step {
    int slot;
    std::string line;
    std::array<L, 2> to;
};
inline std::vector<Step> exampleHand() {
    const L deal = report("5 5", "ann bob", "4 4", "", "995 995");
    const L afterAnn = report("5 5", "ann bob", "4 4", "2", "995 995");
    const L afterBob = report("5 5", "ann bob", "5 4", "2 0", "995 995");
    const L afterRaise = report("15 5", "ann bob", "5 5", "2 0", "985 995");
    const L end = report("15 15", "ann bob", "5 6", "2 0", "985 985") + L{"WINNER\t1"};
    const L next = report("5 5", "ann bob", "4 4", "", "980 1010");
    return {
        {1, "NEWGAME\tfirst", {L{"OK\tNEWGAME 1", "SEAT\t0"}, L{}}},
        {2, "JOINGAME\t1", {report("", "ann bob", "3 2", "", ""), L{"OK\tJOINGAME", "SEAT\t1"}}},
        {1, "STARTGAME", {L{"STARTGAME\t0\t1\t2\t3\t4"} + deal, L{"STARTGAME\t5\t6\t7\t8\t9"} + deal}},
        {1, "EXCHANGE\t1\t3", {afterAnn + L{"EXCHANGE\t0\t10\t2\t11\t4"}, afterAnn}},
        {2, "EXCHANGE", {afterBob + L{"BET"}, afterBob + L{"EXCHANGE\t5\t6\t7\t8\t9"}}},
        {1, "BET\t10", {afterRaise, afterRaise + L{"BET"}}},
        {2,
         "BET\t0",
         {end + L{"STARTGAME\t0\t1\t2\t3\t4"} + next, end + L{"STARTGAME\t5\t6\t7\t8\t9"} + next}},
    };
}

}  // namespace server::testing
