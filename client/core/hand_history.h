#pragma once
// One finished hand as the history panel lists it: this player's cards before
// and after the draw, what each seat drew, the bets in order, the hands shown
// and the result. Plain text, Latin-1 safe.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "wire/messages.h"

namespace client {

// A card as short text: "10C", "KH", "AS"; "?" for a code that is no card.
std::string cardText(std::int16_t code);
// Five cards: "10C JC QC KC AC".
std::string handText(const wire::Hand& cards);

class HandHistory {
public:
    // A new hand dealt to this player: the last one is forgotten.
    void dealt(const wire::Hand& cards);
    void exchanged(const wire::Hand& cards) { after_ = cards; }
    // A bet, a fold or a hand shown, in the order they happened.
    void add(std::string line) { lines_.push_back(std::move(line)); }
    // The entry, its lines joined by "\n"; empty parts are left out.
    std::string entry(const std::string& draws, const std::string& result) const;

private:
    std::optional<wire::Hand> dealt_;
    std::optional<wire::Hand> after_;
    std::vector<std::string> lines_;
};

}  // namespace client
