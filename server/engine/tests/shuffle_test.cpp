// The deck's order: every card equally likely at every position, and a
// seeded shuffle reproducible.

#include <gtest/gtest.h>

#include <array>
#include <numeric>

#include "server/engine/shuffle.h"

namespace server {
namespace {

std::array<std::int16_t, 52> shuffled(const ShuffleFn& shuffle) {
    std::array<std::int16_t, 52> deck;
    std::iota(deck.begin(), deck.end(), std::int16_t{0});
    shuffle(deck);
    return deck;
}

// Chi-square of card against position over 5000 shuffles, 51 x 51 degrees of freedom:
// a fair shuffle passes 2958 with probability 1 - 1e-6; swapping each card with any scores 6000.
TEST(Shuffle, EveryCardEquallyLikelyAtEveryPositionAndSeededShufflesRepeat) {
    const ShuffleFn os = osShuffler();
    const int deals = 5000;
    std::vector<long> count(52 * 52);
    for (int d = 0; d < deals; ++d) {
        const auto deck = shuffled(os);
        for (int pos = 0; pos < 52; ++pos) ++count[deck[pos] * 52 + pos];
    }
    double chi2 = 0;
    for (long c : count) chi2 += (c - deals / 52.0) * (c - deals / 52.0) / (deals / 52.0);
    EXPECT_LT(chi2, 2958.0);
    EXPECT_EQ(shuffled(seededShuffler(7)), shuffled(seededShuffler(7)));
    EXPECT_NE(shuffled(seededShuffler(7)), shuffled(seededShuffler(8)));
    // Three cards, all the way down: a first word 0 is refused, the next picks.
    std::array<std::int16_t, 3> three{0, 1, 2};
    fisherYates(three, [n = 0](std::span<std::uint64_t> w) mutable {
        for (auto& word : w) word = n++ == 1 ? 1ull << 63 : 0;
    });
    EXPECT_EQ(three, (std::array<std::int16_t, 3>{2, 0, 1}));
}

}  // namespace
}  // namespace server
