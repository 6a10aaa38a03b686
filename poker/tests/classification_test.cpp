#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <optional>
#include <stdexcept>
#include <vector>

#include "poker/hand_value.h"

namespace {

using poker::clsHandValue;
using poker::Score;
using Hand = std::array<std::int16_t, 5>;

clsHandValue classified(const Hand& cards, clsHandValue::LogFn log = {}) {
    clsHandValue hv(std::move(log));
    hv.LoadCards(cards);
    hv.Check_Hand();
    return hv;
}

// The oracle: the rules as written, the nine tests from the strongest down.
Score referenceScore(const Hand& cards) {
    Hand v;
    std::array<int, 13> n{};
    for (int i = 0; i < 5; ++i) ++n[v[i] = cards[i] % 13];
    std::sort(v.begin(), v.end());
    const auto find = [&n](int count, int from = 12) {
        for (int x = from; x >= 0; --x)
            if (n[x] == count) return std::int16_t(x);
        return std::int16_t(-1);
    };
    const auto others = [&v](Score s, int x) {  // s with the values other than x appended, highest first
        for (int i = 4, k = 2; i >= 0; --i)
            if (v[i] != x && k < 6) s[k++] = v[i];
        return s;
    };
    bool flush = true, straight = true;
    for (int i = 1; i < 5; ++i) flush &= cards[i] / 13 == cards[0] / 13, straight &= v[i] == v[i - 1] + 1;
    const auto t = find(3), p = find(2), q = find(4), low = p < 0 ? p : find(2, p - 1);
    if (flush && straight) return {9, v[4], -1, -1, -1, -1};
    if (q >= 0) return {8, q, v[0] == q ? v[4] : v[0], -1, -1, -1};
    if (t >= 0 && p >= 0) return {7, t, p, -1, -1, -1};
    if (flush) return {6, v[4], v[3], v[2], v[1], v[0]};
    if (straight) return {5, v[4], -1, -1, -1, -1};
    if (t >= 0) return others({4, t, -1, -1, -1, -1}, t);
    if (low >= 0) return {3, p, low, find(1), -1, -1};
    if (p >= 0) return others({2, p, -1, -1, -1, -1}, p);
    return {1, v[4], v[3], v[2], v[1], v[0]};
}

std::string referenceName(const Score& s) {
    static const char* kCategory[] = {"High Card",       "Pair",           "Two Pairs",
                                      "Three of a Kind", "Straight",       "Flush",
                                      "Full House",      "Four of a Kind", "Straight Flush"};
    std::string name = s[0] == 9 && s[1] == 12 ? "Royal Flush" : kCategory[s[0] - 1];
    for (int i = 1; i <= 5; ++i)
        name += s[i] < 0 ? std::string(" ") : std::string{' ', "23456789xJQKA"[s[i]]};
    return name;
}

// What the run over every hand below cannot see: one card at a time, the range checks, the values in order.
TEST(Classification, CardsOneByOneAndOutOfRangeRefusedWithoutChange) {
    EXPECT_EQ(clsHandValue::CharValue(13), "x");    // past the ace
    clsHandValue hv = classified({0, 1, 2, 3, 5});  // the flush 7 5 4 3 2
    hv.card(4) = 51;                                // ace of spades
    EXPECT_EQ(std::tuple(hv.card(4), hv.HandValue(4), hv.HandSuit(4), hv.Value(0), hv.Value(5)),
              std::tuple(51, 12, 4, 6, 0));
    for (int bad : {-1, 5}) {
        EXPECT_THROW(hv.card(bad), std::out_of_range);
        EXPECT_THROW(hv.Value(bad < 0 ? bad : 6), std::out_of_range);
    }
    EXPECT_THROW(hv.LoadCards(std::vector<std::int16_t>{1, 2, 3, 4}), std::out_of_range);
    EXPECT_EQ(hv.card(0), 0);
    EXPECT_EQ(hv.WinsOf(hv), std::nullopt);  // a tie with no log to write to

    poker::HandEvaluator ev;  // the seat hand's evaluator also keeps the values in order
    ev.setCards({51, 0, 13, 30, 8});
    ev.classify();
    EXPECT_EQ(ev.SortedValues(), (Hand{0, 0, 4, 8, 12}));
}

// Every hand, and every multiset of values in one suit and in mixed suits (repeated codes): score,
// name, key and the comparison with the hand before agree with the oracle; only a full tie is logged.
TEST(Classification, EveryHandAgreesWithTheRules) {
    std::map<int, std::optional<std::pair<Score, std::string>>> byKey;
    std::array<long, 10> perCategory{};
    long mismatches = 0, logged = 0;
    clsHandValue last;  // unclassified: all zeros, below every hand
    const clsHandValue::LogFn log = [&logged](auto& line) { logged += line == "WinsOf untermined"; };
    const auto check = [&](const Hand& cards) {
        const Score want = referenceScore(cards);
        const auto hv = classified(cards, log);
        auto& seen = byKey[poker::handKey(cards)];
        if (!seen) seen.emplace(want, referenceName(want));
        logged = 0;
        const auto wins = hv.WinsOf(last);
        const bool tie = want == last.score();
        if (hv.score() != want || seen->first != want || seen->second != hv.HandName || logged != tie ||
            wins != (tie ? std::nullopt : std::optional(want > last.score())))
            if (mismatches++ == 0) ADD_FAILURE() << testing::PrintToString(cards) << ": " << hv.HandName;
        last = hv;
        return want;
    };
    for (std::int16_t a = 0; a < 52; ++a)
        for (std::int16_t b = a + 1; b < 52; ++b)
            for (std::int16_t c = b + 1; c < 52; ++c)
                for (std::int16_t d = c + 1; d < 52; ++d)
                    for (std::int16_t e = d + 1; e < 52; ++e) ++perCategory[check({a, b, c, d, e})[0]];
    EXPECT_EQ(perCategory,
              (std::array<long, 10>{0, 1303560, 1098240, 123552, 54912, 9180, 5112, 3744, 624, 36}));
    EXPECT_EQ(byKey.size(), 7462u);
    for (std::int16_t a = 0; a < 13; ++a)
        for (std::int16_t b = a; b < 13; ++b)
            for (std::int16_t c = b; c < 13; ++c)
                for (std::int16_t d = c; d < 13; ++d)
                    for (std::int16_t e = d; e < 13; ++e) {
                        check({a, b, c, d, e});
                        check({a, std::int16_t(b + 13), c, d, e});
                    }
    EXPECT_EQ(mismatches, 0);
    EXPECT_EQ(classified({0, 13, 29, 46, 11}).HandName, "Pair 2 K 9 5 ");  // the oracle's names, spelled out
    // Keys rise with the score, so equal keys mean equal scores.
    EXPECT_EQ(
        std::ranges::adjacent_find(byKey, std::greater_equal<>(), [](auto& k) { return k.second->first; }),
        byKey.end());
}

}  // namespace
