#pragma once
// In-memory server for tests: ten fake sockets, a core, and helpers to push
// lines in and take the lines sent out.

#include <array>
#include <deque>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "server/engine/game.h"
#include "server/session/client.h"
#include "server/session/server_core.h"
#include "server/session/socket.h"

namespace server::testing {

class FakeSocket : public ISocket {
public:
    int st = kClosed;
    std::string inbox;
    std::string sent;
    int dropped = 0;

    int state() const override { return st; }
    void send(std::string_view bytes) override {
        if (st == kConnected) {
            sent += bytes;
        } else {
            ++dropped;
        }
    }
    std::string readAll() override { return std::exchange(inbox, {}); }
    void close() override { st = kClosed; }
    std::string peerAddress() const override { return "127.0.0.1"; }
    int peerPort() const override { return 40000; }

    // The complete lines sent so far, taken out.
    std::vector<std::string> takeLines() {
        std::vector<std::string> lines;
        std::size_t from = 0;
        for (auto pos = sent.find("\r\n"); pos != std::string::npos; pos = sent.find("\r\n", from)) {
            lines.push_back(sent.substr(from, pos - from));
            from = pos + 2;
        }
        sent.erase(0, from);
        return lines;
    }
};

// Random numbers that shuffle the deck into chosen orders: each deck pushed
// is produced by the next 52 draws. Once the script is used up, every draw
// keeps the card where it is (j-th draw of a shuffle of n cards picks j).
class ScriptedRandom {
public:
    void pushDeck(const std::vector<int>& order) {
        std::array<int, 52> deck{};
        for (int i = 0; i < 52; ++i) deck[i] = i;
        for (int j = 0; j < 52; ++j) {
            int at = j;
            while (deck[at] != order[j]) ++at;
            std::swap(deck[j], deck[at]);
            values_->push_back((at + 0.5) / 52.0);
        }
    }
    void pushValue(double v) { values_->push_back(v); }
    std::function<double()> fn() {
        auto values = values_;
        auto counter = counter_;
        return [values, counter]() {
            if (!values->empty()) {
                const double v = values->front();
                values->pop_front();
                return v;
            }
            // Identity: for a shuffle of 52 the j-th draw gives j.
            const double v = ((*counter % 52) + 0.5) / 52.0;
            ++*counter;
            return v;
        };
    }

private:
    std::shared_ptr<std::deque<double>> values_ = std::make_shared<std::deque<double>>();
    std::shared_ptr<long> counter_ = std::make_shared<long>(0);
};

// A deck order that starts with the given cards; the rest follow in order.
inline std::vector<int> deckStartingWith(const std::vector<int>& first) {
    std::vector<int> order = first;
    for (int c = 0; c < 52; ++c) {
        bool used = false;
        for (int f : first) used = used || f == c;
        if (!used) order.push_back(c);
    }
    return order;
}

class Server {
public:
    explicit Server(std::function<double()> random = {}) {
        std::array<ISocket*, ServerCore::kSlots> ptrs{};
        for (int i = 0; i < ServerCore::kSlots; ++i) ptrs[i] = &socks[i];
        core = std::make_unique<ServerCore>(
            ptrs, [this](const std::string& s) { log.push_back(s); },
            random ? std::move(random) : ScriptedRandom().fn());
    }

    FakeSocket& sock(int i) { return socks[i - 1]; }
    clsClient& client(int i) { return core->client(i); }
    clsGame& game(int i) { return core->game(i); }

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
    std::vector<std::string> lines(int i) { return sock(i).takeLines(); }
    void clearAll() {
        for (auto& s : socks) s.takeLines();
    }
    // Connects and logs in slot i under `name`, dropping the greeting.
    void login(int i, const std::string& name) {
        connect(i);
        send(i, "LOGIN\t" + name);
        lines(i);
    }

    std::array<FakeSocket, ServerCore::kSlots> socks;
    std::vector<std::string> log;
    std::unique_ptr<ServerCore> core;
};

// Logs in slots 1..n and seats them in that order at table 1.
inline void seatPlayers(Server& s, const std::vector<std::string>& names) {
    for (std::size_t i = 0; i < names.size(); ++i) s.login(static_cast<int>(i) + 1, names[i]);
    s.send(1, "NEWGAME\tt");
    for (std::size_t i = 1; i < names.size(); ++i) s.send(static_cast<int>(i) + 1, "JOINGAME\t1");
    s.clearAll();
}

// Deals and lets slots 1..n exchange nothing, so the betting begins.
inline void dealToBetting(Server& s, int n) {
    s.send(1, "STARTGAME");
    for (int i = 1; i <= n; ++i) s.send(i, "EXCHANGE");
    s.clearAll();
}

// Everything a command may change, as text, to show that a refused command
// changed nothing.
inline std::string describe(const clsClient& c) {
    std::string d = c.m_username + "|" + std::to_string(c.m_Game->Index) + "|" + std::to_string(c.ClientState) + "|" +
                    std::to_string(c.seatno) + "|" + std::to_string(c.Exchange) + "|" + std::to_string(c.Bank) + "|" +
                    std::to_string(c.Ante) + "|";
    for (int p = 0; p < 5; ++p) d += std::to_string(c.card(p)) + ",";
    return d;
}

inline std::string describe(const clsGame& g) {
    std::string d = std::to_string(g.Index) + "|" + g.GameName + "|" + std::to_string(g.GameState) + "|" +
                    std::to_string(g.AnteStart) + "|" + std::to_string(g.DeckPos) + "|" + std::to_string(g.BetSeat) +
                    "|" + std::to_string(g.DepartedPot) + "|";
    for (auto c : g.Deck) d += std::to_string(c) + ",";
    for (int i = 0; i < 6; ++i) d += g.Occupied(i) ? std::to_string(g.Seats[i]->Slot()) : std::string("-");
    return d;
}

inline std::string snapshot(Server& s) {
    std::string d = describe(s.core->g_VoidClient) + "\n" + describe(s.core->g_VoidGame) + "\n";
    for (int i = 1; i <= 10; ++i) d += describe(s.client(i)) + "\n" + describe(s.game(i)) + "\n";
    return d;
}

// The five lines of a table report, built from per-seat values given as
// tab-joined rows of six fields.
inline std::vector<std::string> report(const std::string& ante, const std::string& names, const std::string& states,
                                       const std::string& exchanges, const std::string& banks) {
    return {"SEAT_ANTE\t" + ante, "SEAT_NAME\t" + names, "SEAT_STATE\t" + states,
            "SEAT_EXCHANGE\t" + exchanges, "SEAT_BANK\t" + banks};
}

inline std::vector<std::string> concat(std::initializer_list<std::vector<std::string>> parts) {
    std::vector<std::string> out;
    for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

}  // namespace server::testing
