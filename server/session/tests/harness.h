#pragma once
// In-memory server for the session tests: ten sockets that check every line
// they are sent, a core with a known deck, helpers to push lines in and take
// the lines sent out, and the server's invariants checked after every step.

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "server/engine/tests/table.h"
#include "server/session/server_core.h"
#include "server/session/tests/invariants.h"

namespace server::testing {

using L = std::vector<std::string>;

inline L operator+(L a, const L& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// The first deck starts with `first`, the other cards following in order;
// every later shuffle leaves the cards as they are.
inline ShuffleFn knownDeck(std::vector<int> first = {}) {
    return [first](std::span<std::int16_t> cards) mutable { stack(cards, std::exchange(first, {})); };
}

class Server {
public:
    explicit Server(ShuffleFn shuffle = knownDeck()) {
        std::array<ISocket*, ServerCore::kSlots> ptrs{};
        for (int i = 0; i < ServerCore::kSlots; ++i) ptrs[i] = &socks[i];
        core = std::make_unique<ServerCore>(
            ptrs, [this](const std::string& s) { log.push_back(s); }, std::move(shuffle));
        for (int i = 0; i < ServerCore::kSlots; ++i) socks[i].owner = &core->client(i + 1);
        invariants = std::make_unique<Invariants>(*core);
    }

    MemorySocket& sock(int i) { return socks[i - 1]; }
    clsClient& client(int i) { return core->client(i); }
    clsGame& game(int i) { return core->game(i); }

    void connect(int i) {
        sock(i).st = ISocket::kConnected;
        client(i).winsock_Connect();
        EXPECT_EQ(invariants->check(true, i), "");
    }
    void disconnect(int i) {
        client(i).winsock_Disconnect();
        EXPECT_EQ(invariants->check(true, i), "");
    }
    // One chunk as it arrives on the socket.
    void receive(int i, const std::string& bytes) {
        sock(i).inbox += bytes;
        client(i).winsock_DataArrival(static_cast<long>(bytes.size()));
        EXPECT_EQ(invariants->check(sock(i).st != ISocket::kConnected, i), "");
    }
    void send(int i, const std::string& line) { receive(i, line + "\r\n"); }
    // The lines slot i was sent since the last call.
    L lines(int i) {
        L out;
        const std::string sent = std::exchange(sock(i).sent, {});
        for (std::size_t from = 0, end; (end = sent.find("\r\n", from)) != std::string::npos; from = end + 2)
            out.push_back(sent.substr(from, end - from));
        return out;
    }
    void clearAll() {
        for (int i = 1; i <= ServerCore::kSlots; ++i) lines(i);
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

    std::array<MemorySocket, ServerCore::kSlots> socks;
    L log;
    std::unique_ptr<ServerCore> core;
    std::unique_ptr<Invariants> invariants;
};

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

}  // namespace server::testing
