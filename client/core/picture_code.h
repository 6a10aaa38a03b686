#pragma once
// Which picture a card slot shows for a picture code: the card codes 0..51,
// the two jokers, the back and the empty slot.

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace client {

inline constexpr std::int16_t kPictureBlackJoker = 52;
inline constexpr std::int16_t kPictureRedJoker = 53;
inline constexpr std::int16_t kPictureBack = 100;
inline constexpr std::int16_t kPictureEmpty = 101;

// The holder name for a picture code: "C2".."C10", "CJ", "CQ", "CK", "C1"
// (the ace) and the same for D, H, S; "JB", "JR", "back"; the empty string
// for the empty slot. No value for any other code: the slot keeps its picture.
std::optional<std::string> holderName(std::int16_t CardNo);

// What a screen reader says for a picture code: "Queen of clubs", "Black
// joker", "Card back", "Empty"; "No card" for any other code.
std::string spokenName(std::int16_t CardNo);

// Every holder that has a picture (55 names), in code order with the back last.
const std::array<std::string, 55>& pictureHolders();

}  // namespace client
