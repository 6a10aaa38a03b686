#pragma once
// One table with six fake players in memory, and decks in a known order.

#include <algorithm>
#include <memory>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "server/engine/game.h"

namespace server::testing {

// Puts the cards of `top` first, in that order; the others keep their order.
inline void stack(std::span<std::int16_t> cards, const std::vector<int>& top) {
    auto rank = [&](int c) { return std::find(top.begin(), top.end(), c) - top.begin(); };
    std::stable_sort(cards.begin(), cards.end(), [&](int a, int b) { return rank(a) < rank(b); });
}

// Keeps what it is sent; notes in the events "B<player>" for BET, "A<antes>"
// for a lone SEAT_ANTE line and "W<seat>" for WINNER.
class FakePlayer final : public Player {
public:
    FakePlayer(clsGame& voidGame, int id, std::string& events) : Player(voidGame), id_(id), events_(events) {}
    void winsock_SendCmd(const std::string& s) override {
        sent += s + "\r\n";
        if (s == "BET") events_ += "B" + std::to_string(id_) + " ";
        if (s.starts_with("SEAT_ANTE") && s.find('\n') == std::string::npos)
            events_ += "A" + s.substr(10) + " ";
        if (s.starts_with("WINNER\t")) events_ += "W" + s.substr(7) + " ";
    }
    std::string sent;

private:
    int id_;
    std::string& events_;
};

// Players 0..n-1 in seats 0..n-1 of table 1. The next deal puts `top` first,
// other shuffles change nothing. Log lines go to the events.
struct Table {
    explicit Table(int n)
        : services{&none,
                   &voidGame,
                   [this](std::span<std::int16_t> c) { stack(c, std::exchange(top, {})); },
                   [this](const std::string& s) { events += "[" + s + "] "; },
                   {}} {
        game.Index = 1;
        for (int i = 0; i < 6; ++i) p.push_back(std::make_unique<FakePlayer>(voidGame, i, events));
        for (int i = 0; i < n; ++i) game.AddClient(*p[i]);
    }
    FakePlayer& operator[](int i) { return *p[i]; }

    std::vector<int> top;
    std::string events;
    TableServices services;
    clsGame voidGame{services};
    FakePlayer none{voidGame, -1, events};
    clsGame game{services};
    std::vector<std::unique_ptr<FakePlayer>> p;
};

}  // namespace server::testing
