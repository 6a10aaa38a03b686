#pragma once
// What a table knows of the player in one of its seats: his chips, his state
// in the hand, his cards, and a way to send him a line. The table, not the
// player, decides where he sits: it sets m_Game and seatno when it seats or
// removes him.

#include <array>
#include <chrono>
#include <cstdint>
#include <string>

#include "wire/messages.h"
#include "wire/session_state.h"

namespace server {

class clsGame;

class Player {
public:
    static constexpr std::int32_t kStartBank = 1000;

    Player(const Player&) = delete;
    Player& operator=(const Player&) = delete;

    std::string m_username;
    clsGame* m_Game;  // never null: the void table when at none
    std::int32_t ClientState = wire::state::Void;
    std::int16_t seatno = -1;
    std::int16_t Exchange = -1;  // cards asked for this hand; -1 before the exchange
    std::int32_t Bank = kStartBank;
    std::int32_t Ante = 0;  // put in during the running hand
    // When his deal or his betting turn began: a table with a turn time acts
    // for him once it has passed.
    std::chrono::steady_clock::time_point turnSince{};
    // The extension lines this player agreed to; the table sends him no others.
    wire::FeatureSet features = 0;

    // Positions 0..4; any other throws std::out_of_range.
    std::int16_t& card(int PosNo);
    std::int16_t card(int PosNo) const;

    bool IsBetting() const;
    bool InGame() const;

    // One line (or several joined by CR LF) to this player, as one write.
    virtual void winsock_SendCmd(const std::string& s) = 0;

protected:
    explicit Player(clsGame& voidGame) : m_Game(&voidGame) {}
    ~Player() = default;

private:
    std::array<std::int16_t, 5> cards_{};
};

}  // namespace server
