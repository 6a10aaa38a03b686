#include "tests/load/scripted_player.h"

#include <poll.h>

#include <algorithm>

namespace load {

std::optional<std::string> Player::expect(const std::string& prefix, int timeoutMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (auto line = peer->readLine(msLeft(deadline))) {
        check.check(*line);
        if (line->compare(0, prefix.size(), prefix) == 0) return line;
    }
    fail("no line starting with '" + prefix + "'");
    return std::nullopt;
}

void Player::send(const std::string& line) {
    if (!peer->send(line)) fail("could not send '" + line + "'");
}

void Player::onLine(const std::string& line) {
    check.check(line);
    const auto& f = check.fields();
    const std::string& c = f[0];
    if (c == "STARTGAME") {
        ++deals;
        if (stopAfterDeals > 0 && deals > stopAfterDeals) stopped = true;
        if (stopped) return;
        // Discard each card with some chance; ask in increasing order like the client.
        asked.clear();
        std::string request = "EXCHANGE";
        for (int p = 0; p < 5; ++p) {
            if (std::uniform_int_distribution<int>(0, 9)(rng) < 3) {
                asked.push_back(p);
                request += "\t" + std::to_string(p);
            }
        }
        beforeExchange = check.hand();
        send(request);
    } else if (c == "EXCHANGE") {
        const Hand& now = check.hand();
        for (int p = 0; p < 5; ++p) {
            const bool replaced = std::find(asked.begin(), asked.end(), p) != asked.end();
            if (!replaced && now[p] != beforeExchange[p])
                fail("card at position " + std::to_string(p) + " changed without being asked for");
        }
    } else if (c == "BET") {
        if (stopped) return;
        const TableReport& r = check.report();
        const std::int32_t highest = *std::max_element(r.ante.begin(), r.ante.end());
        const int roll = std::uniform_int_distribution<int>(0, 99)(rng);
        std::string amount;
        if (roll < 15) amount = "-1";
        else if (roll < 60 || highest > 200) amount = "0";
        else amount = std::to_string(std::uniform_int_distribution<int>(1, 20)(rng));
        send("BET\t" + amount);
    } else if (c == "WINNER") {
        WinnerSeen w;
        w.seat = std::stoi(f[1]);
        w.before = check.report();
        w.hand = check.hand();
        w.hadHand = check.hasHand();
        winners.push_back(w);
    } else if (c == "ERROR") {
        fail("refused: '" + line + "'");
    }
}

bool logIn(Player& p, std::uint16_t port) {
    p.peer = LinePeer::connectTo(port);
    if (!p.peer) {
        p.fail("cannot connect");
        return false;
    }
    if (!p.expect("HELLO") || !p.expect("LOGIN")) return false;
    p.send("LOGIN\t" + p.name);
    return p.expect("OK\tLOGIN").has_value();
}

int newGame(Player& p, const std::string& gameName) {
    p.send("NEWGAME\t" + gameName);
    const auto ok = p.expect("OK\t");
    if (!ok || ok->rfind("OK\tNEWGAME ", 0) != 0) {
        p.fail("NEWGAME refused");
        return 0;
    }
    p.game = std::stoi(ok->substr(11));
    const auto seat = p.expect("SEAT\t");
    p.seat = seat ? std::stoi(seat->substr(5)) : -1;
    return p.game;
}

int joinGame(Player& p, int game) {
    p.send("JOINGAME\t" + std::to_string(game));
    const auto ok = p.expect("OK\tJOINGAME");
    if (!ok) return -1;
    p.game = game;
    const auto seat = p.expect("SEAT\t");
    p.seat = seat ? std::stoi(seat->substr(5)) : -1;
    return p.seat;
}

bool playUntil(std::vector<Player*> players, const std::function<bool()>& done,
               std::chrono::steady_clock::time_point deadline,
               const std::function<void(Player&, const std::string&)>& onLine) {
    std::vector<pollfd> fds;
    std::vector<Player*> polled;
    while (!done()) {
        const int left = msLeft(deadline);
        if (left == 0) return false;
        fds.clear();
        polled.clear();
        for (Player* p : players) {
            if (p->gone || !p->peer || p->peer->atEnd() || p->peer->fd() < 0) continue;
            fds.push_back({p->peer->fd(), POLLIN, 0});
            polled.push_back(p);
        }
        if (fds.empty()) return done();
        if (::poll(fds.data(), fds.size(), std::min(left, 200)) <= 0) continue;
        // Everything readable is taken in before anyone reacts, so a line the
        // server sent earlier to one player is seen before a later one to another.
        for (std::size_t i = 0; i < fds.size(); ++i)
            if (fds[i].revents != 0) polled[i]->peer->pump();
        for (Player* p : polled) {
            while (!p->gone) {
                auto line = p->peer->takeLine();
                if (!line) break;
                if (onLine) onLine(*p, *line);
                else p->onLine(*line);
            }
        }
    }
    return true;
}

void WinnerPairCheck::update() {
    while (next_ < a_.winners.size() && next_ < b_.winners.size()) {
        const WinnerSeen& wa = a_.winners[next_];
        const WinnerSeen& wb = b_.winners[next_];
        ++next_;
        if (wa.seat != wb.seat) a_.fail("the two players heard different winners");
        std::array<std::optional<Hand>, 6> hands;
        if (wa.hadHand && a_.seat >= 0) hands[a_.seat] = wa.hand;
        if (wb.hadHand && b_.seat >= 0) hands[b_.seat] = wb.hand;
        if (wa.before.bettingSeats().size() > 1) ++showdowns_;
        if (const auto problem = verifyWinner(wa.before, wa.seat, hands))
            a_.fail("hand " + std::to_string(next_) + ": " + *problem);
        ++checked_;
    }
}

std::string allErrors(const std::vector<Player*>& players) {
    std::string text;
    std::size_t shown = 0;
    for (const Player* p : players) {
        for (const auto& e : p->check.errors()) {
            if (++shown > 20) return text + "...\n";
            text += e + "\n";
        }
    }
    return text;
}

}  // namespace load
