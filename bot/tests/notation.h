#pragma once
// Hands written as players write them: "As 9d Th 2c 2d", value then suit.

#include <string_view>

#include "bot/hand_model.h"

inline bot::Cards hand(std::string_view text) {
    bot::Cards cards{};
    for (int i = 0; i < 5; ++i)
        cards[i] = static_cast<poker::CardCode>(std::string_view("cdhs").find(text[3 * i + 1]) * 13 +
                                                std::string_view("23456789TJQKA").find(text[3 * i]));
    return cards;
}
