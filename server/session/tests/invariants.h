#pragma once
// The server's invariants, checked after every step by the session tests, the property test and the fuzz
// target: the void session and table never change, a seat and its player agree, the cards at a table are
// distinct, no chip is made or lost, every line sent is a server message a client reads whole and asked for,
// a report shows the table as it is, cards reach only their owner or a showdown, and a RESULT pays the pot,
// or what of it the winner's bank can hold.

#include <array>
#include <cstdint>
#include <string>
#include <utility>

#include "server/session/server_core.h"
#include "wire/framing.h"

namespace server::testing {

// A connection in memory; once an Invariants is bound, the first fault sent is kept.
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
    std::array<std::int64_t, ServerCore::kSlots> banks_{};
    std::int64_t chips_ = 0;  // on the server
};

}  // namespace server::testing
