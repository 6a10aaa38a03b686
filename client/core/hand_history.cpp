#include "client/core/hand_history.h"

#include "poker/cards.h"

namespace client {

std::string cardText(std::int16_t code) {
    if (!poker::isCardCode(code)) return "?";
    static constexpr const char* kRank[poker::kValuesPerSuit] = {"2", "3",  "4", "5", "6", "7", "8",
                                                                 "9", "10", "J", "Q", "K", "A"};
    return std::string(kRank[poker::cardValue(code)]) + "CDHS"[poker::cardSuit(code)];
}

std::string handText(const wire::Hand& cards) {
    std::string text;
    for (const auto code : cards) text += (text.empty() ? "" : " ") + cardText(code);
    return text;
}

void HandHistory::dealt(const wire::Hand& cards) {
    dealt_ = cards;
    after_.reset();
    lines_.clear();
}

std::string HandHistory::entry(const std::string& draws, const std::string& result) const {
    std::string text;
    const auto line = [&text](const std::string& l) {
        if (!l.empty()) text += (text.empty() ? "" : "\n") + l;
    };
    if (dealt_) {
        std::string cards = "Your cards: " + handText(*dealt_);
        if (after_ && *after_ != *dealt_) cards += ", after the draw: " + handText(*after_);
        line(cards);
    }
    line(draws);
    for (const auto& l : lines_) line(l);
    line(result);
    return text;
}

}  // namespace client
