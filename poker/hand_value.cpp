#include "poker/hand_value.h"

#include <stdexcept>

namespace poker {

std::optional<bool> clsHandValue::WinsOf(const clsHandValue& handvalue2) const {
    // Keys are numbered in score order: one key stands for all six entries.
    if (key() > handvalue2.key()) return true;
    if (key() < handvalue2.key()) return false;
    if (log_) log_("WinsOf untermined");
    return std::nullopt;
}

void clsHandValue::LoadCards(std::span<const std::int16_t> cards) {
    if (cards.size() < 5) throw std::out_of_range("LoadCards needs the elements 0..4");
    setCards({cards[0], cards[1], cards[2], cards[3], cards[4]});
}

void clsHandValue::Check_Hand() {
    classify();
    HandName = nameView();  // reuses the string's buffer: no allocation per hand
}

}  // namespace poker
