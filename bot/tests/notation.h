#pragma once
// Hands written as players write them: "As 9d Th 2c", value then suit.

#include <string_view>

#include "bot/hand_model.h"

inline bot::Cards hand(std::string_view text) {
    constexpr std::string_view kValues = "23456789TJQKA", kSuits = "cdhs";
    bot::Cards cards{};
    for (int i = 0; i < 5; ++i) {
        const auto card = text.substr(3 * i, 2);
        cards[i] = static_cast<poker::CardCode>(kSuits.find(card[1]) * 13 + kValues.find(card[0]));
    }
    return cards;
}
