#pragma once
// A scripted player: its connection, the check of everything it receives,
// and random legal actions when the server asks for one.

#include <chrono>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "tests/load/line_peer.h"
#include "tests/load/protocol_check.h"

namespace load {

struct WinnerSeen {
    int seat = -1;
    TableReport before;  // the report that came just before it
    Hand hand{};         // this player's hand at that moment
    bool hadHand = false;
};

struct Player {
    Player(std::string playerName, unsigned seed) : name(std::move(playerName)), rng(seed) {}

    std::string name;
    std::unique_ptr<LinePeer> peer;
    LineChecker check;
    std::mt19937 rng;
    int game = 0;  // table number 1..10
    int seat = -1;
    int deals = 0;           // STARTGAME lines received
    int stopAfterDeals = 0;  // 0: play on; otherwise stop acting after this many deals
    bool stopped = false;
    bool gone = false;  // this side closed the connection
    std::vector<WinnerSeen> winners;
    std::vector<int> asked;  // positions of the last EXCHANGE request
    Hand beforeExchange{};

    // Reads and checks lines until one starts with `prefix`.
    std::optional<std::string> expect(const std::string& prefix, int timeoutMs = 5000);
    // Handles one line: checks it, records deals and winners, and answers
    // STARTGAME and BET with random legal actions unless stopped.
    void onLine(const std::string& line);
    void fail(const std::string& what) { check.fail(name + ": " + what); }
    // Sends and records a failure when the connection has gone.
    void send(const std::string& line);
};

// HELLO, LOGIN, the name and its OK.
bool logIn(Player& p, std::uint16_t port);
// NEWGAME: the table number, or 0.
int newGame(Player& p, const std::string& gameName);
// JOINGAME n: the seat, or -1.
int joinGame(Player& p, int game);

// Reads every player's lines and lets `onLine` (default: Player::onLine)
// react, until `done` holds or the deadline passes. False on the deadline.
bool playUntil(std::vector<Player*> players, const std::function<bool()>& done,
               std::chrono::steady_clock::time_point deadline,
               const std::function<void(Player&, const std::string&)>& onLine = {});

// Checks each winner of a table of two once both players have heard it,
// with both hands: they must agree, and the winner must be right.
class WinnerPairCheck {
public:
    WinnerPairCheck(Player& a, Player& b) : a_(a), b_(b) {}
    void update();
    int checked() const { return checked_; }
    int showdowns() const { return showdowns_; }

private:
    Player& a_;
    Player& b_;
    std::size_t next_ = 0;
    int checked_ = 0;
    int showdowns_ = 0;
};

// Hands out `errors` of every player as one text (empty when none).
std::string allErrors(const std::vector<Player*>& players);

}  // namespace load
