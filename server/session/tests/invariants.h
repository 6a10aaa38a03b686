#pragma once
// The server's invariants, for the session tests, the property test and the
// fuzz target. After every step: the void session and table never change; a
// seat and its player agree; whoever is in a hand was dealt into it, with
// distinct cards at a table; chips stay at a table while its players stay,
// and on the server unless a connection began or ended. Every line sent is a
// server message a client reads whole, true to the state it reports, and an
// extension line reaches only a session that asked for it.

#include <array>
#include <cstdint>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "server/session/server_core.h"
#include "wire/framing.h"

namespace server::testing {

// A connection in memory: what is sent is kept in `sent` and, once an
// Invariants is bound to it, checked line by line; the first fault is kept.
class MemorySocket : public ISocket {
public:
    int st = kClosed;
    std::string inbox, sent, fault;
    const Player* owner = nullptr;

    int state() const override { return st; }
    void send(std::string_view bytes) override;
    std::string readAll() override { return std::exchange(inbox, {}); }
    void close() override { st = kClosed; }
    std::string peerAddress() const override { return "127.0.0.1"; }
    int peerPort() const override { return 40000; }

private:
    std::string wrong(const wire::Fields& f);  // what is wrong with one line, or ""

    bool toldTurn_ = false;   // the last line told the owner it is his turn
    std::vector<int> shown_;  // the seats of this showdown's SHOWDOWN lines
};

std::string snapshot(ServerCore& core);  // everything a step may change, as text

class Invariants {
public:
    // Binds the memory sockets of `core` to their sessions.
    explicit Invariants(ServerCore& core);
    // What broke in the last step, or "". `connection`: one began or ended at `slot`.
    std::string check(bool connection, int slot);

private:
    ServerCore& core_;
    std::string void_;
    std::array<std::set<const Player*>, ServerCore::kGames> members_;
    std::array<std::int64_t, ServerCore::kGames> chips_{};
    std::array<std::int64_t, ServerCore::kSlots> banks_{};
    std::int64_t allChips_ = 0;
};

}  // namespace server::testing
