#include "server/session/server_core.h"

#include "server/engine/shuffle.h"

#include <exception>
#include <stdexcept>
#include <utility>

namespace server {

ServerCore::ServerCore(std::array<ISocket*, kSlots> sockets, LogFn log, ShuffleFn shuffle)
    : services_{&g_VoidClient, &g_VoidGame, shuffle ? std::move(shuffle) : osShuffler(), std::move(log), {}},
      g_VoidGame(services_),
      g_VoidClient(*this, 0, nullptr) {
    // Every seat of the void table holds the void session; now it is named.
    g_VoidGame.InitVoid();
    for (int i = 0; i < kSlots; ++i) g_Clients[i] = std::make_unique<clsClient>(*this, i + 1, sockets[i]);
    for (int i = 0; i < kGames; ++i) {
        g_Games[i] = std::make_unique<clsGame>(services_);
        g_Games[i]->Index = i + 1;
    }
}

clsClient& ServerCore::client(int i) {
    if (i < 1 || i > kSlots) throw std::out_of_range("client slot");
    return *g_Clients[i - 1];
}

clsGame& ServerCore::game(int i) {
    if (i < 1 || i > kGames) throw std::out_of_range("game number");
    return *g_Games[i - 1];
}

int ServerCore::FindFreeGame(clsClient& client, const std::string& name) {
    for (int i = 1; i <= kGames; ++i) {
        if (!game(i).Active()) {
            game(i).CreateGame(client, name);
            return i;
        }
    }
    return 0;
}

bool ServerCore::anyFreeGame() {
    for (int i = 1; i <= kGames; ++i)
        if (!game(i).Active()) return true;
    return false;
}

void ServerCore::setClock(ClockFn clock) { services_.now = std::move(clock); }

void ServerCore::expireTurns() {
    if (turnTime_ <= std::chrono::seconds::zero()) return;
    const auto now = services_.now ? services_.now() : std::chrono::steady_clock::now();
    for (auto& c : g_Clients) {
        if (!c->InGame() || now - c->turnSince < turnTime_) continue;
        // A table may have moved on by the time an earlier expiry is handled,
        // so each is checked against the state it finds.
        const std::string index = "index=" + std::to_string(c->slot());
        try {
            if (c->ClientState == wire::state::WaitChange && c->m_Game->dealtIn(*c)) {
                WriteLog("Turn time: " + index + " exchanges nothing");
                c->handleRequest(wire::req::Exchange{{}, 0});
            } else if (c->m_Game->onTurn(*c)) {
                WriteLog("Turn time: " + index + " folds");
                c->handleRequest(wire::req::Bet{-1});
            }
        } catch (const std::exception& e) {
            // As for a failing line: the connection goes, the server stays.
            WriteLog("Session error: " + index + " err=" + e.what());
            c->winsock_Disconnect();
        }
    }
}

void ServerCore::WriteLog(const std::string& line) const {
    if (services_.log) services_.log(line);
}

}  // namespace server
