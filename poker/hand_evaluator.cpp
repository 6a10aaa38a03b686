#include "poker/hand_evaluator.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

namespace poker {

namespace {

int checkedPosition(int PosNo) {
    if (PosNo < 0 || PosNo > 4) throw std::out_of_range("card position must be 0..4");
    return PosNo;
}

}  // namespace

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

void HandEvaluator::Classify() {
    SortValues();
    // The tests share one count of the values. The longest run of equal values
    // and the number of pairs tell which tests can pass at all, so the others
    // are skipped: the first test to pass is the same as running them in order.
    const Counts n = countValues();
    int longest = 1, run = 1, pairs = 0;
    for (int i = 1; i <= 5; ++i) {
        if (i < 5 && sorted_[i] == sorted_[i - 1]) {
            ++run;
            continue;
        }
        if (run == 2) ++pairs;
        longest = std::max(longest, run);
        run = 1;
    }
    switch (longest) {
        case 1:  // five distinct values: only these can be straights or flushes
        {
            bool flush = false;
            if (CheckStraightFlush(flush) || flush || CheckStraight()) return;
            CheckHighCard();
            return;
        }
        case 2:
            if (pairs == 2 && CheckTwoPairs(n)) return;
            CheckPair(n);
            return;
        case 3:
            if (pairs == 1 && CheckFullHouse(n)) return;
            CheckThreeOfAKind(n);
            return;
        default: CheckFourOfAKind(n); return;
    }
}

std::string HandEvaluator::Name() const { return handName(score_); }

void HandEvaluator::SortValues() {
    // Insertion sort: five entries, and the showdown and monitor call this often.
    for (int i = 0; i < 5; ++i) {
        const auto v = static_cast<std::int16_t>(cardValue(cards_[i]));
        int j = i;
        for (; j > 0 && sorted_[j - 1] > v; --j) sorted_[j] = sorted_[j - 1];
        sorted_[j] = v;
    }
}

HandEvaluator::Counts HandEvaluator::countValues() const {
    Counts n{};
    for (auto v : sorted_) ++n[v];
    return n;
}

bool HandEvaluator::CheckStraightFlush(bool& flush) {
    flush = CheckFlush();
    if (flush && CheckStraight()) {
        score_[0] = StraightFlush;
        return true;
    }
    return false;
}

bool HandEvaluator::CheckFourOfAKind(const Counts& n) {
    for (int v = 12; v >= 0; --v) {
        if (n[v] != 4) continue;
        std::int16_t kicker = -1;
        for (auto s : sorted_)
            if (s != v) kicker = s;
        score_ = {FourOfAKind, static_cast<std::int16_t>(v), kicker, -1, -1, -1};
        return true;
    }
    return false;
}

bool HandEvaluator::CheckFullHouse(const Counts& n) {
    for (int t = 12; t >= 0; --t) {
        if (n[t] != 3) continue;
        for (int p = 12; p >= 0; --p) {
            if (n[p] != 2) continue;
            score_ = {FullHouse, static_cast<std::int16_t>(t), static_cast<std::int16_t>(p), -1, -1, -1};
            return true;
        }
        return false;
    }
    return false;
}

bool HandEvaluator::CheckFlush() {
    const int suit = cardSuit(cards_[0]);
    if (cardSuit(cards_[1]) != suit || cardSuit(cards_[2]) != suit || cardSuit(cards_[3]) != suit ||
        cardSuit(cards_[4]) != suit)
        return false;
    score_ = {Flush, sorted_[4], sorted_[3], sorted_[2], sorted_[1], sorted_[0]};
    return true;
}

bool HandEvaluator::CheckStraight() {
    // Five distinct values spanning four steps are consecutive.
    if (sorted_[4] - sorted_[0] != 4) return false;
    for (int i = 1; i < 5; ++i)
        if (sorted_[i] == sorted_[i - 1]) return false;
    score_ = {Straight, sorted_[4], -1, -1, -1, -1};
    return true;
}

bool HandEvaluator::CheckThreeOfAKind(const Counts& n) {
    for (int t = 12; t >= 0; --t) {
        if (n[t] != 3) continue;
        score_ = {ThreeOfAKind, static_cast<std::int16_t>(t), -1, -1, -1, -1};
        int next = 2;
        for (int i = 4; i >= 0 && next <= 3; --i)
            if (sorted_[i] != t) score_[next++] = sorted_[i];
        return true;
    }
    return false;
}

bool HandEvaluator::CheckTwoPairs(const Counts& n) {
    for (int h = 12; h >= 0; --h) {
        if (n[h] != 2) continue;
        for (int l = h - 1; l >= 0; --l) {
            if (n[l] != 2) continue;
            std::int16_t kicker = -1;
            for (int k = 0; k <= 12; ++k) {
                if (n[k] == 1) {
                    kicker = static_cast<std::int16_t>(k);
                    break;
                }
            }
            score_ = {TwoPairs, static_cast<std::int16_t>(h), static_cast<std::int16_t>(l), kicker, -1, -1};
            return true;
        }
        return false;
    }
    return false;
}

bool HandEvaluator::CheckPair(const Counts& n) {
    for (int p = 12; p >= 0; --p) {
        if (n[p] != 2) continue;
        score_ = {Pair, static_cast<std::int16_t>(p), -1, -1, -1, -1};
        int next = 2;
        for (int i = 4; i >= 0 && next <= 4; --i)
            if (sorted_[i] != p) score_[next++] = sorted_[i];
        return true;
    }
    return false;
}

bool HandEvaluator::CheckHighCard() {
    score_ = {HighCard, sorted_[4], sorted_[3], sorted_[2], sorted_[1], sorted_[0]};
    return true;
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
