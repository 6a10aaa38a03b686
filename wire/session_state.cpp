#include "wire/session_state.h"

namespace wire {

std::string stateName(std::int32_t s) {
    switch (s) {
        case state::Void: return "Void";
        case state::WaitLogin: return "WaitLogin";
        case state::GameSelect: return "GameSelect";
        case state::WaitStart: return "WaitStart";
        case state::WaitChange: return "WaitChange";
        case state::WaitBet: return "WaitBet";
        case state::MakeBet: return "MakeBet";
        default: return "UnknownState" + std::to_string(s);
    }
}

std::string stateText(std::int32_t s) {
    switch (s) {
        case state::Void: return "";
        case state::WaitLogin: return "Waiting for Login";
        case state::GameSelect: return "Select Game";
        case state::WaitStart: return "Waiting for Game Start";
        case state::WaitChange: return "Card Changing";
        case state::WaitBet: return "Waiting for Bet";
        case state::MakeBet: return "Making Bet";
        default: return "UnknownState" + std::to_string(s);
    }
}

}  // namespace wire
