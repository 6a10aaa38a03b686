#pragma once
// Load and fault tests: the server window in-process on a loopback port, its
// event loop on the main thread, and scripted players on blocking sockets, one
// thread each. Every line a player receives is checked against the protocol.
// Every wait is bounded.

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "server/host/frm_main.h"

namespace load {

// The AddressSanitizer build runs several times slower: the tests scale their
// counts down there and skip the memory bound.
#ifndef __has_feature
#define __has_feature(x) 0  // compilers without it name the sanitizer otherwise
#endif
#if defined(__SANITIZE_ADDRESS__) || __has_feature(address_sanitizer)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
inline int scaled(int normal, int sanitized) { return kSanitized ? sanitized : normal; }

using Clock = std::chrono::steady_clock;
using Hand = std::array<std::int16_t, 5>;

// A blocking line connection to 127.0.0.1 with the Nagle delay off.
class Peer {
public:
    explicit Peer(std::uint16_t port);
    ~Peer() { close(); }
    bool send(std::string_view line) { return sendRaw(std::string(line) + "\r\n"); }
    bool sendRaw(std::string_view bytes);
    // The next line without CR LF; nothing on timeout, end or error.
    std::optional<std::string> readLine(int timeoutMs = 5000);
    void close();
    void reset();  // abortive close: the server sees a reset

    int fd = -1;
    bool ended = false;

private:
    std::string buffer_;
};

// A table as the five report lines showed it.
struct Report {
    enum Row { Ante, Name, State, Exchange, Bank };
    std::array<std::array<std::int32_t, 6>, 5> row{};
    std::array<std::string, 6> name{};
    std::int64_t chips() const;  // banks and antes of the seated players
    int players() const;
    std::vector<int> bettingSeats() const;  // states 5 and 6
};

struct Player {
    // Sees each checked line first; true when it took care of it.
    using Hook = std::function<bool(Player&, const std::string&)>;

    Player(std::string n, unsigned seed) : name(std::move(n)), rng(seed) {}
    void fail(const std::string& what) { errors.push_back(name + ": " + what); }
    // Checks a line against the protocol and records reports, cards and winners.
    bool check(const std::string& line);
    std::optional<std::string> expect(const std::string& prefix);  // reads until a line starts so
    void send(const std::string& line);
    bool logIn(std::uint16_t port);
    bool newGame(const std::string& gameName);  // seat 0 at a new table
    bool joinGame(int table, int seat);
    // Answers deals and BET prompts with random legal actions until the deal
    // after `hands` hands (then true), the end of the connection or the deadline.
    bool play(int hands, const Hook& hook = {});

    std::string name;
    std::mt19937 rng;
    std::unique_ptr<Peer> peer;
    std::vector<std::string> errors, fields;  // fields: of the last line
    int game = 0, seat = -1;
    Report building, report;  // the report being read, the last complete one
    bool reportDone = false;  // the last line completed a report
    Hand hand{};
    struct Win {
        int seat;
        Report before;
        Hand hand;
    };
    std::vector<Win> winners;
};

// Checks every winner two players at a table of two heard: they agree, and the
// winner is recomputed from both hands (the one seat left betting, or the best
// hand, the lower seat on equal hands). Returns the number of showdowns.
int checkWinners(Player& a, Player& b);
std::string allErrors(const std::vector<Player*>& players);
// Runs each job on a thread of its own and waits for all of them.
void together(const std::vector<std::function<void()>>& jobs);

class InProcessHost {
public:
    InProcessHost();
    ~InProcessHost();
    std::uint16_t port() const { return port_; }
    // Runs `work` on a thread of its own and the server's event loop here
    // until it returns (`work` bounds its own waits; 200 s is a last guard).
    void runBeside(const std::function<void()>& work);
    void settle(int ms);  // runs the event loop for a while
    int busySlots();

private:
    std::unique_ptr<server::frmMain> window_;
    std::uint16_t port_ = 0;
};

std::int64_t residentBytes();

}  // namespace load
