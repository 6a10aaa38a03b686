#pragma once
// What the computer player knows about hands: how strong five cards are, how
// the replacements for a discard can fall, and what an opponent is likely to
// hold once he has drawn.

#include <array>
#include <cstdint>
#include <random>
#include <span>
#include <utility>
#include <vector>

#include "poker/cards.h"

namespace bot {

using Cards = std::array<poker::CardCode, 5>;
using Rng = std::mt19937_64;
inline constexpr unsigned kKeepAll = 0x1F;  // bit p set: the card at position p stays

// Every class of equal hands has one index below strengthCount(); a higher
// index beats a lower one and equal indexes tie.
int strength(const Cards& hand);
int strengthCount();

// The 47 cards a player does not hold, in code order.
std::array<poker::CardCode, 47> unseenCards(const Cards& hand);

// Calls f(hand) once for every way the cards outside `keep` can be replaced
// from the unseen cards.
template <class F>
void forEachDraw(const Cards& hand, unsigned keep, F&& f) {
    const auto deck = unseenCards(hand);
    std::array<int, 5> slot{}, pick{};
    int k = 0;
    for (int p = 0; p < 5; ++p)
        if (!(keep >> p & 1)) slot[k++] = p;
    for (int i = 0; i < k; ++i) pick[i] = i;
    Cards h = hand;
    for (;;) {
        for (int i = 0; i < k; ++i) h[slot[i]] = deck[pick[i]];
        f(std::as_const(h));
        int i = k - 1;
        while (i >= 0 && pick[i] == 47 - k + i) --i;
        if (i < 0) return;
        ++pick[i];
        for (int j = i + 1; j < k; ++j) pick[j] = pick[j - 1] + 1;
    }
}

// The cards a plain player keeps: a pat hand, trips, two pairs, four to a
// flush, four to an open-ended straight, a pair, an ace, in that order.
unsigned typicalKeep(const Cards& hand);

// Opponents are grouped by the number of cards they drew; kNotDrawn is one
// who has not exchanged yet.
inline constexpr int kNotDrawn = 6;
int drawGroup(std::int32_t exchanged);  // an Exchange count (-1 before) to a group

// Built once from dealt and drawn hands played by typicalKeep.
class DrawModel {
public:
    static const DrawModel& get();
    // Chance of each strength index for a player of the group.
    std::span<const double> hands(int group) const { return hands_[group]; }
    // How often a player draws that many cards.
    double share(int group) const { return share_[group]; }

private:
    DrawModel();
    std::array<std::vector<double>, 7> hands_;
    std::array<double, 7> share_{};
};

struct Opponent {
    int group = kNotDrawn;
    bool raised = false;    // has put in more than the ante: his range narrows
    bool winsTies = false;  // sits before us: equal hands go to the lower seat
};

// Chance that a hand of each strength index beats every opponent (taken as
// independent). A raiser holds only the best `raiserShare` of his group's hands.
std::vector<double> winChances(std::span<const Opponent> opponents, double raiserShare);

}  // namespace bot
