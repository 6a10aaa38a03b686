#pragma once
// The server-wide objects: the void table, the void session, the ten
// sessions bound to the ten connection slots and the ten tables. The host
// creates one at start-up; every test builds its own.

#include <array>
#include <functional>
#include <memory>
#include <string>

#include "server/engine/game.h"
#include "server/session/client.h"
#include "server/session/socket.h"

namespace server {

class ServerCore {
public:
    static constexpr int kSlots = 10;
    static constexpr int kGames = 10;
    using LogFn = std::function<void(const std::string&)>;

    // sockets[i-1] is bound to session i for the object's lifetime. Without a
    // shuffler the deck is shuffled by a generator seeded once from the clock.
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

private:
    TableServices services_;

public:
    clsGame g_VoidGame;
    clsClient g_VoidClient;
    std::array<std::unique_ptr<clsClient>, kSlots> g_Clients;
    std::array<std::unique_ptr<clsGame>, kGames> g_Games;
};

}  // namespace server
