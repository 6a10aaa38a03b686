#pragma once
// The card code: suit * 13 + value; suits clubs, diamonds, hearts, spades;
// values two (0) to ace (12).

#include <cstdint>

namespace poker {

using CardCode = std::int16_t;

inline constexpr int kDeckSize = 52;
inline constexpr int kValuesPerSuit = 13;

constexpr int cardValue(int code) { return code % kValuesPerSuit; }
constexpr int cardSuit(int code) { return code / kValuesPerSuit; }
constexpr bool isCardCode(int code) { return code >= 0 && code < kDeckSize; }

}  // namespace poker
