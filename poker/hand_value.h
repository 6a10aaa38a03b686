#pragma once
// The server's hand evaluator: classification plus name and comparison.

#include <functional>
#include <optional>
#include <span>
#include <string>

#include "poker/hand_evaluator.h"

namespace poker {

class clsHandValue : private HandEvaluator {
public:
    using LogFn = std::function<void(const std::string&)>;

    // `log` receives the line written when two hands tie in every entry.
    explicit clsHandValue(LogFn log = {}) : log_(std::move(log)) {}

    std::string HandName;

    // true: this hand wins; false: it loses; empty: a full tie (logged).
    // Callers read empty as "does not win".
    std::optional<bool> WinsOf(const clsHandValue& handvalue2) const;
    using HandEvaluator::Value;
    // Copies elements 0..4; a shorter array is an out-of-range error.
    void LoadCards(std::span<const std::int16_t> cards);
    using HandEvaluator::card;
    using HandEvaluator::CharValue;
    using HandEvaluator::HandSuit;
    using HandEvaluator::HandValue;
    void Check_Hand();

    using HandEvaluator::score;

private:
    LogFn log_;
};

}  // namespace poker
