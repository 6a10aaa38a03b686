#include "bot/hand_model.h"

#include <algorithm>
#include <bit>
#include <numeric>

#include "poker/hand_evaluator.h"

namespace bot {

namespace {

constexpr auto kChoose = [] {
    std::array<std::array<int, 6>, 13> c{};
    for (int n = 0; n < 13; ++n) {
        c[n][0] = 1;
        for (int r = 1; r <= std::min(n, 5); ++r) c[n][r] = c[n - 1][r - 1] + (r < n ? c[n - 1][r] : 0);
    }
    return c;
}();

// Rank of distinct values, given highest first, among all sets of as many:
// the ranks order the sets as comparing their values highest first does.
int setRank(const poker::Score& s, int from, int count) {
    int rank = 0;
    for (int i = 0; i < count; ++i) rank += kChoose[s[from + i]][count - i];
    return rank;
}

// How many indexes each category spans (from the tie-break entries it has),
// and where each starts.
constexpr std::array<int, 10> kSpan = {0, 1287, 13 * 286, 13 * 13 * 13, 13 * 78, 13, 1287, 169, 169, 13};
constexpr auto kFirst = [] {
    std::array<int, 10> first{};
    for (int c = 2; c < 10; ++c) first[c] = first[c - 1] + kSpan[c - 1];
    return first;
}();
static_assert(kFirst[9] + kSpan[9] == kStrengthCount);

int indexWithin(const poker::Score& s) {
    switch (s[0]) {
        case poker::HighCard:
        case poker::Flush: return setRank(s, 1, 5);
        case poker::Pair: return s[1] * 286 + setRank(s, 2, 3);
        case poker::TwoPairs: return (s[1] * 13 + s[2]) * 13 + s[3];
        case poker::ThreeOfAKind: return s[1] * 78 + setRank(s, 2, 2);
        case poker::FullHouse:
        case poker::FourOfAKind: return s[1] * 13 + s[2];
        default: return s[1];  // straights: the highest card alone
    }
}

}  // namespace

// The one place that classifies hands.
int strength(const Cards& hand) {
    poker::HandEvaluator e;
    e.SetCards(hand);
    e.Classify();
    return kFirst[e.score()[0]] + indexWithin(e.score());
}

int categoryOf(int strength) {
    const auto next = std::upper_bound(kFirst.begin() + 1, kFirst.end(), strength);
    return static_cast<int>(next - kFirst.begin()) - 1;
}

std::array<poker::CardCode, 47> unseenCards(const Cards& hand) {
    std::array<poker::CardCode, 47> deck{};
    int n = 0;
    for (int c = 0; c < poker::kDeckSize; ++c)
        if (std::find(hand.begin(), hand.end(), c) == hand.end() && n < 47) deck[n++] = c;
    return deck;
}

unsigned typicalKeep(const Cards& hand) {
    const int category = categoryOf(strength(hand));
    std::array<unsigned, 13> byValue{};
    std::array<unsigned, 4> bySuit{};
    for (int p = 0; p < 5; ++p) {
        byValue[poker::cardValue(hand[p])] |= 1u << p;
        bySuit[poker::cardSuit(hand[p])] |= 1u << p;
    }
    if (category >= poker::Straight) return kKeepAll;
    unsigned paired = 0;
    for (auto m : byValue)
        if (std::popcount(m) >= 2) paired |= m;
    if (category == poker::ThreeOfAKind || category == poker::TwoPairs) return paired;
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
    for (auto& c : count) c.assign(kStrengthCount, 0.0);
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
    std::vector<double> chance(kStrengthCount, 1.0);
    for (const auto& o : opponents) {
        const auto p = DrawModel::get().hands(o.group);
        const double range = o.raised ? raiserShare : 1.0;
        // From the strongest class down: `above` is the share of his hands
        // that beat index i, then of those that beat or tie it; a raiser's
        // hands end where his range is used up.
        double above = 0.0;
        for (int i = kStrengthCount - 1; i >= 0; --i) {
            const double tie = std::clamp(range - above, 0.0, p[i]) / range;
            above += p[i];
            const double beaten = std::max(0.0, 1.0 - std::min(above, range) / range);
            chance[i] *= beaten + (o.winsTies ? 0.0 : tie);
        }
    }
    return chance;
}

}  // namespace bot
