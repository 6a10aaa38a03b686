#pragma once
// The session states that travel in SEAT_STATE, and the two ways they are shown:
// the server's monitor names and the player's texts in the seat list.

#include <cstdint>
#include <string>

namespace wire {

namespace state {
inline constexpr std::int32_t Void = 0;
inline constexpr std::int32_t WaitLogin = 1;
inline constexpr std::int32_t GameSelect = 2;
inline constexpr std::int32_t WaitStart = 3;
inline constexpr std::int32_t WaitChange = 4;
inline constexpr std::int32_t WaitBet = 5;
inline constexpr std::int32_t MakeBet = 6;
}  // namespace state

// "WaitChange", as the operator's monitor shows a session.
std::string stateName(std::int32_t state);
// "Card Changing", as a player's seat list shows a seat (empty for Void).
std::string stateText(std::int32_t state);

}  // namespace wire
