#pragma once
// The server-wide objects: the void table, the void session, the ten
// sessions bound to the ten connection slots and the ten tables. The host
// creates one at start-up; every test builds its own.

#include <array>
#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "server/engine/game.h"
#include "server/session/client.h"
#include "server/session/socket.h"
#include "wire/messages.h"

namespace server {

class ServerCore {
public:
    static constexpr int kSlots = 10;
    static constexpr int kGames = wire::kTableCount;
    using LogFn = std::function<void(const std::string&)>;

    // sockets[i-1] is bound to session i for the object's lifetime. Without a
    // shuffler the deck is shuffled from the operating system's secure generator.
    ServerCore(std::array<ISocket*, kSlots> sockets, LogFn log, ShuffleFn shuffle = {});
    ServerCore(const ServerCore&) = delete;
    ServerCore& operator=(const ServerCore&) = delete;

    clsClient& client(int i);  // slot 1..10, else std::out_of_range
    clsGame& game(int i);      // table 1..10, else std::out_of_range

    // The first table 1..10 that is not active is created with the client in
    // seat 0; returns its number, or 0 when all ten are active.
    int FindFreeGame(clsClient& client, const std::string& name);
    bool anyFreeGame();

    void WriteLog(const std::string& line) const;

    // The turn timer: a player who has not exchanged within `turnTime` of his
    // deal exchanges nothing, one on turn who has not bet folds, exactly as if
    // he had sent the line. Zero (the default) never acts for anyone.
    using ClockFn = std::function<std::chrono::steady_clock::time_point()>;
    void setTurnTime(std::chrono::seconds turnTime) { turnTime_ = turnTime; }
    std::chrono::seconds turnTime() const { return turnTime_; }
    void setClock(ClockFn clock);
    // Applies the expiries due now; the host calls it a few times a second.
    void expireTurns();

private:
    TableServices services_;
    std::chrono::seconds turnTime_{0};

public:
    clsGame g_VoidGame;
    clsClient g_VoidClient;
    std::array<std::unique_ptr<clsClient>, kSlots> g_Clients;
    std::array<std::unique_ptr<clsGame>, kGames> g_Games;
};

}  // namespace server
