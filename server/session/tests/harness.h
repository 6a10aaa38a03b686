#pragma once
// The in-memory server of the session tests, its invariants checked after every step.

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <sstream>

#include "server/session/tests/invariants.h"

namespace server::testing {

using L = std::vector<std::string>;

inline L operator+(L a, const L& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

class Server {
public:
    // By default no deck is shuffled, but the next puts the cards of `top` first.
    explicit Server(ShuffleFn shuffle = {}) {
        if (!shuffle)
            shuffle = [this](std::span<std::int16_t> cards) {
                auto rank = [&](int c) { return std::find(top.begin(), top.end(), c) - top.begin(); };
                std::stable_sort(cards.begin(), cards.end(), [&](int a, int b) { return rank(a) < rank(b); });
                top.clear();
            };
        std::array<ISocket*, ServerCore::kSlots> ptrs{};
        for (int i = 0; i < ServerCore::kSlots; ++i) ptrs[i] = &socks[i];
        core = std::make_unique<ServerCore>(
            ptrs, [this](const std::string& s) { log.push_back(s); }, shuffle);
        invariants = std::make_unique<Invariants>(*core);
    }
    MemorySocket& sock(int i) { return socks[i - 1]; }
    clsClient& client(int i) { return core->client(i); }

    void connect(int i) {
        sock(i).st = ISocket::kConnected;
        client(i).winsock_Connect();
        EXPECT_EQ(invariants->check(true, i), "");
    }
    void disconnect(int i) {
        client(i).winsock_Disconnect();
        EXPECT_EQ(invariants->check(true, i), "");
    }
    void receive(int i, const std::string& bytes) {  // one chunk
        sock(i).inbox += bytes;
        client(i).winsock_DataArrival(static_cast<long>(bytes.size()));
        EXPECT_EQ(invariants->check(sock(i).st != ISocket::kConnected, i), "");
    }
    void send(int i, const std::string& line) { receive(i, line + "\r\n"); }
    L lines(int i) {  // sent to slot i since the last call
        L out;
        const std::string sent = std::exchange(sock(i).sent, {});
        for (std::size_t from = 0, end; (end = sent.find("\r\n", from)) != std::string::npos; from = end + 2)
            out.push_back(sent.substr(from, end - from));
        return out;
    }
    void login(int i, const std::string& name) {
        connect(i);
        send(i, "LOGIN\t" + name);
        lines(i);
    }
    // `line` from slot i is answered with `answer` alone, to him alone, and changes nothing.
    void refused(int i, const std::string& line, const L& answer) {
        const std::string before = snapshot(*core);
        for (int j = 1; j <= ServerCore::kSlots; ++j) lines(j);
        send(i, line);
        for (int j = 1; j <= ServerCore::kSlots; ++j) EXPECT_EQ(lines(j), j == i ? answer : L{});
        EXPECT_EQ(snapshot(*core), before);
    }
    // Slots 1..n in seats 0..n-1 of table 1, all lines dropped.
    void seat(const L& names) {
        for (int i = 1; i <= static_cast<int>(names.size()); ++i)
            login(i, names[i - 1]), send(i, i == 1 ? "NEWGAME\tt" : "JOINGAME\t1");
        for (int i = 1; i <= ServerCore::kSlots; ++i) lines(i);
    }

    std::array<MemorySocket, ServerCore::kSlots> socks;
    std::vector<int> top;
    L log;
    std::unique_ptr<ServerCore> core;
    std::unique_ptr<Invariants> invariants;
};

// A table report: the first seats' values, blank-separated ("-" no name); the others empty.
inline L report(const std::string& antes, const std::string& names, const std::string& states,
                const std::string& exchanges, const std::string& banks) {
    static const char* const kWords[] = {"ANTE", "NAME", "STATE", "EXCHANGE", "BANK"};
    static const char* const kEmpty[] = {"0", "", "0", "-1", "1000"};
    L out;
    for (const std::string& given : {antes, names, states, exchanges, banks}) {
        const std::size_t k = out.size();
        std::istringstream in(given);
        std::string line = std::string("SEAT_") + kWords[k], v;
        for (int n = 0; n < 6; ++n) line += "\t" + (in >> v ? (v == "-" ? "" : v) : std::string(kEmpty[k]));
        out.push_back(line);
    }
    return out;
}

}  // namespace server::testing
