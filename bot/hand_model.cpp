#include "bot/hand_model.h"

#include <algorithm>
#include <bit>
#include <numeric>

#include "poker/hand_evaluator.h"

namespace bot {

// The one place that classifies hands.
int strength(const Cards& hand) { return poker::handKey(hand); }

int strengthCount() {
    static const int count = poker::handKey(8, 9, 10, 11, 12) + 1;  // above the royal flush
    return count;
}

std::array<poker::CardCode, 47> unseenCards(const Cards& hand) {
    std::array<poker::CardCode, 47> deck{};
    int n = 0;
    for (int c = 0; c < poker::kDeckSize; ++c)
        if (std::find(hand.begin(), hand.end(), c) == hand.end() && n < 47) deck[n++] = c;
    return deck;
}

unsigned typicalKeep(const Cards& hand) {
    static const int lowestStraight = strength({0, 14, 28, 42, 4});  // two to six in mixed suits
    if (strength(hand) >= lowestStraight) return kKeepAll;
    std::array<unsigned, 13> byValue{};
    std::array<unsigned, 4> bySuit{};
    for (int p = 0; p < 5; ++p) {
        byValue[poker::cardValue(hand[p])] |= 1u << p;
        bySuit[poker::cardSuit(hand[p])] |= 1u << p;
    }
    unsigned paired = 0;
    for (auto m : byValue)
        if (std::popcount(m) >= 2) paired |= m;
    if (std::popcount(paired) >= 3) return paired;  // trips or two pairs
    for (auto m : bySuit)
        if (std::popcount(m) == 4) return m;
    // Four in a row with a card missing at both ends; an ace never ranks low.
    for (int v = 1; v + 4 <= 12; ++v) {
        if (!byValue[v] || !byValue[v + 1] || !byValue[v + 2] || !byValue[v + 3]) continue;
        unsigned run = 0;
        for (int i = 0; i < 4; ++i) run |= 1u << std::countr_zero(byValue[v + i]);
        return run;
    }
    return paired ? paired : byValue[12];
}

int drawGroup(std::int32_t exchanged) { return exchanged < 0 ? kNotDrawn : std::min(exchanged, 5); }

const DrawModel& DrawModel::get() {
    static const DrawModel model;
    return model;
}

DrawModel::DrawModel() {
    // A fixed seed: every player of every run judges opponents alike.
    constexpr int kDeals = 200'000;
    Rng rng(20240613);
    std::array<poker::CardCode, poker::kDeckSize> deck{};
    std::iota(deck.begin(), deck.end(), poker::CardCode{0});
    std::array<std::vector<double>, 7> count;
    for (auto& c : count) c.assign(strengthCount(), 0.0);
    for (int d = 0; d < kDeals; ++d) {
        for (int i = 0; i < 10; ++i)
            std::swap(deck[i], deck[std::uniform_int_distribution<int>(i, poker::kDeckSize - 1)(rng)]);
        Cards hand{deck[0], deck[1], deck[2], deck[3], deck[4]};
        const unsigned keep = typicalKeep(hand);
        int drawn = 0;
        for (int p = 0; p < 5; ++p)
            if (!(keep >> p & 1)) hand[p] = deck[5 + drawn++];
        const int s = strength(hand);
        count[drawn][s] += 1;
        count[kNotDrawn][s] += 1;
    }
    for (int g = 0; g < 7; ++g) {
        const double n = std::accumulate(count[g].begin(), count[g].end(), 0.0);
        share_[g] = n / kDeals;
        for (auto& c : count[g]) c /= std::max(n, 1.0);
        hands_[g] = std::move(count[g]);
    }
}

std::vector<double> winChances(std::span<const Opponent> opponents, double raiserShare) {
    std::vector<double> chance(strengthCount(), 1.0);
    for (const auto& o : opponents) {
        const auto p = DrawModel::get().hands(o.group);
        const double range = o.raised ? raiserShare : 1.0;
        // From the strongest class down: `above` is the share of his hands
        // that beat index i, then of those that beat or tie it; a raiser's
        // hands end where his range is used up.
        double above = 0.0;
        for (auto i = chance.size(); i-- > 0;) {
            const double tie = std::clamp(range - above, 0.0, p[i]) / range;
            above += p[i];
            const double beaten = std::max(0.0, 1.0 - std::min(above, range) / range);
            chance[i] *= beaten + (o.winsTies ? 0.0 : tie);
        }
    }
    return chance;
}

}  // namespace bot
