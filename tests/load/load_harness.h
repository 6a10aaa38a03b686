#pragma once
// Load and fault tests: the server window in-process on a loopback port, and
// scripted players on plain blocking sockets running on a thread of their own
// while the server's event loop keeps the main thread. Every line a player
// receives is checked against the protocol. Every wait is bounded.

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
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
#else
constexpr bool kSanitized = false;
#endif
inline int scaled(int normal, int sanitized) { return kSanitized ? sanitized : normal; }

using Clock = std::chrono::steady_clock;
using Hand = std::array<std::int16_t, 5>;

// A connection to 127.0.0.1 with the Nagle delay off.
class Peer {
public:
    explicit Peer(std::uint16_t port);
    ~Peer() { close(); }
    bool connected() const { return fd >= 0; }
    bool send(std::string_view line) { return sendRaw(std::string(line) + "\r\n"); }
    bool sendRaw(std::string_view bytes);
    // The next line without CR LF; nothing on timeout, end or error.
    std::optional<std::string> readLine(int timeoutMs = 5000);
    // Takes in what has arrived without waiting; false once the connection has ended.
    bool pump();
    std::optional<std::string> takeLine();
    // Waits for the server to end the connection, dropping what arrives.
    bool waitClosedByServer(int timeoutMs);
    void close();
    void reset();  // abortive close: the server sees a reset

    int fd = -1;
    bool ended = false;

private:
    bool fill(int timeoutMs, bool wait);
    std::string buffer_;
};

// A table as a report showed it.
struct Report {
    std::array<std::int32_t, 6> ante{}, state{}, exchange{}, bank{};
    std::array<std::string, 6> name{};
    std::int64_t chips() const;  // banks and antes of the seated players
    int players() const;
    std::vector<int> bettingSeats() const;  // states 5 and 6
};

struct Player {
    Player(std::string n, unsigned seed) : name(std::move(n)), rng(seed) {}

    // Checks one received line against the protocol (problems go to errors).
    void check(const std::string& line);
    // Checks the line, records deals and winners, and answers STARTGAME and
    // BET with random legal actions unless stopped.
    void onLine(const std::string& line);
    // Reads and checks lines until one starts with `prefix`.
    std::optional<std::string> expect(const std::string& prefix);
    void send(const std::string& line);
    void fail(const std::string& what) { errors.push_back(name + ": " + what); }
    bool logIn(std::uint16_t port);
    int newGame(const std::string& gameName);  // the table, or 0
    bool joinGame(int table, int seat);

    std::string name;
    std::mt19937 rng;
    std::unique_ptr<Peer> peer;
    std::vector<std::string> errors, fields;
    int game = 0, seat = -1, deals = 0, stopAfterDeals = 0;
    bool stopped = false, gone = false;
    Report building, report;  // the report being read, the last complete one
    int stage = 0;            // report lines read of the one being read
    bool reportDone = false;  // the last line completed a report
    Hand hand{}, beforeExchange{};
    bool hasHand = false;
    std::vector<int> asked;
    struct Win {
        int seat;
        Report before;
        std::optional<Hand> hand;
    };
    std::vector<Win> winners;
};

using OnLine = std::function<void(Player&, const std::string&)>;
// Feeds every player's lines to `onLine` (default: Player::onLine) until
// `done` holds; false when the deadline passes first.
bool playUntil(const std::vector<Player*>& players, const std::function<bool()>& done, Clock::time_point deadline,
               const OnLine& onLine = {});

// Checks each winner of a table of two once both players have heard it: they
// agree, and the winner is recomputed from both hands (the one seat left
// betting, or the best hand with the lower seat on equal hands).
class WinnerCheck {
public:
    WinnerCheck(Player& a, Player& b) : a_(a), b_(b) {}
    void update();
    int checked = 0, showdowns = 0;

private:
    Player &a_, &b_;
};

std::string allErrors(const std::vector<Player*>& players);
std::vector<Player*> pointers(std::vector<std::unique_ptr<Player>>& owned);

class InProcessHost {
public:
    InProcessHost();
    ~InProcessHost();
    std::uint16_t port() const { return port_; }
    // Runs `work` on a thread of its own and the server's event loop here
    // until it returns (`work` bounds its own waits; `limit` is a last guard).
    void runBeside(const std::function<void()>& work, std::chrono::seconds limit = std::chrono::seconds(150));
    void settle(int ms);  // runs the event loop for a while
    int busySlots();

private:
    std::unique_ptr<server::frmMain> window_;
    std::uint16_t port_ = 0;
};

std::int64_t residentBytes();

}  // namespace load
