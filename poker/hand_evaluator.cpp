#include "poker/hand_evaluator.h"

#include <algorithm>
#include <bit>
#include <cassert>
#include <iterator>
#include <stdexcept>
#include <vector>

namespace poker {

namespace {

// Weights of the values two..ace. The sums of any five of them, repeats
// allowed, are all different, so a sum names the multiset of five values;
// each weight is the smallest that keeps the sums apart.
constexpr std::array<std::uint32_t, kValuesPerSuit> kValueWeight = {
    0, 1, 6, 31, 108, 366, 926, 2286, 5733, 12905, 27316, 44676, 94545};
constexpr std::uint32_t kSumCount = 5 * kValueWeight[12] + 1;
// The suit bits sit above every sum: adding five cards leaves the sum below
// them intact, and the AND of five cards keeps a suit bit only in a flush.
constexpr std::uint32_t kFirstSuitBit = std::bit_ceil(kSumCount);
constexpr std::uint32_t kSumMask = kFirstSuitBit - 1;

constexpr std::array<std::uint32_t, kDeckSize> kCardBits = [] {
    std::array<std::uint32_t, kDeckSize> bits{};
    for (int c = 0; c < kDeckSize; ++c) bits[c] = kValueWeight[cardValue(c)] | kFirstSuitBit << cardSuit(c);
    return bits;
}();

using Values = std::array<std::int16_t, 5>;

// A class is one score. Classes are numbered in ascending score order, 0 for
// the unclassified hand, and that number is the hand's key. Each table is
// kept apart so that a hand's lookups touch as little memory as possible.
struct Tables {
    std::vector<std::uint16_t> byValues;   // weight sum -> class of those values in mixed suits
    std::vector<std::uint16_t> flushOf;    // class -> class of the same values in one suit
    std::vector<Score> scores;             // by class
    std::vector<Values> sorted;            // by class
    std::string names;                     // every name, one after the other
    std::vector<std::uint32_t> nameAt{0};  // class -> where its name starts; the last entry ends them
};

// The score of five ascending values, all of one suit or not. Combinations
// of equal values list their groups, larger group first, then higher value.
Score scoreOf(const Values& v, bool flush) {
    std::array<int, kValuesPerSuit> n{};
    for (auto x : v) ++n[x];
    Score grouped;
    grouped.fill(-1);
    int groups = 0;
    for (auto count = v.size(); count > 0; --count)
        for (int x = kValuesPerSuit - 1; x >= 0; --x)
            if (n[x] == static_cast<int>(count)) grouped[++groups] = static_cast<std::int16_t>(x);
    const int largest = n[grouped[1]];
    const auto as = [&grouped](Category c) { return grouped[0] = c, grouped; };
    const auto highFirst = [&v](Category c) { return Score{c, v[4], v[3], v[2], v[1], v[0]}; };
    if (groups == 2) return as(largest == 4 ? FourOfAKind : FullHouse);
    if (groups == 5 && v[4] - v[0] == 4) return {flush ? StraightFlush : Straight, v[4], -1, -1, -1, -1};
    if (flush) return highFirst(Flush);
    if (groups == 3) return as(largest == 3 ? ThreeOfAKind : TwoPairs);
    if (groups == 4) return as(Pair);
    return highFirst(HighCard);  // five different values, or five equal ones
}

Tables buildTables() {
    struct Hand {
        std::uint32_t sum;
        Values sorted;
        Score score, flushScore;
    };
    // Every multiset of five values, including five equal ones (repeated codes).
    std::vector<Hand> hands;
    std::vector<Score> all{Score{}};
    for (std::int16_t a = 0; a < kValuesPerSuit; ++a)
        for (std::int16_t b = a; b < kValuesPerSuit; ++b)
            for (std::int16_t c = b; c < kValuesPerSuit; ++c)
                for (std::int16_t d = c; d < kValuesPerSuit; ++d)
                    for (std::int16_t e = d; e < kValuesPerSuit; ++e) {
                        const Values v{a, b, c, d, e};
                        const auto sum = kValueWeight[a] + kValueWeight[b] + kValueWeight[c] +
                                         kValueWeight[d] + kValueWeight[e];
                        hands.push_back({sum, v, scoreOf(v, false), scoreOf(v, true)});
                        all.push_back(hands.back().score);
                        all.push_back(hands.back().flushScore);
                    }
    std::sort(all.begin(), all.end());
    Tables t;
    std::unique_copy(all.begin(), all.end(), std::back_inserter(t.scores));
    const auto classOf = [&t](const Score& s) {
        return static_cast<std::uint16_t>(std::lower_bound(t.scores.begin(), t.scores.end(), s) -
                                          t.scores.begin());
    };
    t.byValues.resize(kSumCount);
    t.flushOf.resize(t.scores.size());
    t.sorted.resize(t.scores.size());
    for (const auto& s : t.scores) {
        t.names += handName(s);
        t.nameAt.push_back(static_cast<std::uint32_t>(t.names.size()));
    }
    for (const auto& h : hands) {
        const auto mixed = classOf(h.score), flush = classOf(h.flushScore);
        assert(t.byValues[h.sum] == 0);  // the weights keep every multiset apart
        t.byValues[h.sum] = mixed;
        t.flushOf[mixed] = flush;
        t.sorted[mixed] = t.sorted[flush] = h.sorted;
    }
    return t;
}

const Tables& tables() {
    static const Tables t = buildTables();
    return t;
}

int keyOf(const Tables& t, int c0, int c1, int c2, int c3, int c4) {
    assert(isCardCode(c0) && isCardCode(c1) && isCardCode(c2) && isCardCode(c3) && isCardCode(c4));
    const std::uint32_t b0 = kCardBits[c0], b1 = kCardBits[c1], b2 = kCardBits[c2], b3 = kCardBits[c3],
                        b4 = kCardBits[c4];
    const int mixed = t.byValues[(b0 + b1 + b2 + b3 + b4) & kSumMask];
    return b0 & b1 & b2 & b3 & b4 & ~kSumMask ? t.flushOf[mixed] : mixed;
}

int checkedPosition(int PosNo) {
    if (PosNo < 0 || PosNo > 4) throw std::out_of_range("card position must be 0..4");
    return PosNo;
}

}  // namespace

int handKey(int c0, int c1, int c2, int c3, int c4) { return keyOf(tables(), c0, c1, c2, c3, c4); }

int handKey(const std::array<std::int16_t, 5>& cards) {
    return keyOf(tables(), cards[0], cards[1], cards[2], cards[3], cards[4]);
}

std::int16_t& HandEvaluator::card(int PosNo) { return cards_[checkedPosition(PosNo)]; }
std::int16_t HandEvaluator::card(int PosNo) const { return cards_[checkedPosition(PosNo)]; }

std::int16_t HandEvaluator::HandValue(int PosNo) const {
    return static_cast<std::int16_t>(cardValue(card(PosNo)));
}

std::int16_t HandEvaluator::HandSuit(int PosNo) const {
    return static_cast<std::int16_t>(cardSuit(card(PosNo)) + 1);
}

std::string HandEvaluator::CharValue(std::int16_t val) {
    static constexpr const char* kText[] = {"2", "3", "4", "5", "6", "7", "8", "9", "x", "J", "Q", "K", "A"};
    if (val < 0) return "";
    if (val > 12) return "x";
    return kText[val];
}

std::int16_t HandEvaluator::Value(int i) const {
    if (i < 0 || i > 5) throw std::out_of_range("score index must be 0..5");
    return score_[i];
}

void HandEvaluator::classify() {
    const auto& t = tables();
    key_ = keyOf(t, cards_[0], cards_[1], cards_[2], cards_[3], cards_[4]);
    score_ = t.scores[key_];
}

const Values& HandEvaluator::SortedValues() const { return tables().sorted[key_]; }

std::string HandEvaluator::Name() const { return std::string(nameView()); }

std::string_view HandEvaluator::nameView() const {
    const auto& t = tables();
    return std::string_view(t.names).substr(t.nameAt[key_], t.nameAt[key_ + 1] - t.nameAt[key_]);
}

std::string categoryName(const Score& score) {
    switch (score[0]) {
        case StraightFlush: return score[1] == 12 ? "Royal Flush" : "Straight Flush";
        case FourOfAKind: return "Four of a Kind";
        case FullHouse: return "Full House";
        case Flush: return "Flush";
        case Straight: return "Straight";
        case ThreeOfAKind: return "Three of a Kind";
        case TwoPairs: return "Two Pairs";
        case Pair: return "Pair";
        case HighCard: return "High Card";
        default: return "";
    }
}

std::string handName(const Score& score) {
    std::string name = categoryName(score);
    for (int i = 1; i <= 5; ++i) {
        name += ' ';
        name += HandEvaluator::CharValue(score[i]);
    }
    return name;
}

}  // namespace poker
