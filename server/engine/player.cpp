#include "server/engine/player.h"

#include <stdexcept>

#include "server/engine/game.h"

namespace server {

std::int16_t& Player::card(int PosNo) {
    if (PosNo < 0 || PosNo > 4) throw std::out_of_range("card position");
    return cards_[PosNo];
}

std::int16_t Player::card(int PosNo) const { return const_cast<Player*>(this)->card(PosNo); }

bool Player::IsBetting() const {
    return ClientState == wire::state::WaitBet || ClientState == wire::state::MakeBet;
}

bool Player::InGame() const { return m_Game->Index >= 0; }

}  // namespace server
