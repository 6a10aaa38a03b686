#include "server/session/server_core.h"

#include <chrono>
#include <random>
#include <stdexcept>
#include <utility>

namespace server {

namespace {

// For j = 0..n-1, swap card j with a card drawn uniformly from the whole range.
ShuffleFn clockSeededShuffle() {
    auto engine = std::make_shared<std::mt19937>(
        static_cast<std::mt19937::result_type>(std::chrono::system_clock::now().time_since_epoch().count()));
    return [engine](std::span<std::int16_t> cards) {
        const auto n = static_cast<int>(cards.size());
        for (int j = 0; j < n; ++j) {
            const double u = std::uniform_real_distribution<double>(0.0, 1.0)(*engine);
            // A generator returning exactly 1.0 must not leave the range.
            std::swap(cards[j], cards[std::min(static_cast<int>(u * n), n - 1)]);
        }
    };
}

}  // namespace

ServerCore::ServerCore(std::array<ISocket*, kSlots> sockets, LogFn log, ShuffleFn shuffle)
    : services_{&g_VoidClient, &g_VoidGame, shuffle ? std::move(shuffle) : clockSeededShuffle(),
                std::move(log)},
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

void ServerCore::WriteLog(const std::string& line) const {
    if (services_.log) services_.log(line);
}

}  // namespace server
