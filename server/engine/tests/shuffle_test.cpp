// The deck's order: every card equally likely at every position, and a seeded shuffle reproducible.

#include <gtest/gtest.h>

#include <array>

#include "server/engine/shuffle.h"

namespace server {
namespace {

struct Nobody : Player {
    explicit Nobody(clsGame& none) : Player(none) {}
    void winsock_SendCmd(const std::string&) override {}
};

// Chi-square of card against position, 5000 deals of an empty table, 51 x 51 degrees of freedom:
// a fair shuffle passes 2965 with probability 1 - 7e-7; swapping each card with any scores 5700-6300.
TEST(Shuffle, EveryCardEquallyLikelyAtEveryPositionAndSeededShufflesRepeat) {
    TableServices services;
    clsGame none(services);
    Nobody nobody(none);
    services.voidClient = &nobody;
    services.shuffle = osShuffler();
    clsGame table(services);
    const int deals = 5000;
    std::vector<long> count(52 * 52);
    for (int d = 0; d < deals; ++d) {
        table.StartGame();
        for (int pos = 0; pos < 52; ++pos) ++count[table.Deck[pos] * 52 + pos];
    }
    double chi2 = 0;
    for (long c : count) chi2 += (c - deals / 52.0) * (c - deals / 52.0) / (deals / 52.0);
    EXPECT_LT(chi2, 2965.0);
    const auto dealFrom = [&](std::uint64_t seed) {
        services.shuffle = seededShuffler(seed);
        table.StartGame();
        return table.Deck;
    };
    EXPECT_EQ(dealFrom(7), dealFrom(7));
    EXPECT_NE(dealFrom(7), dealFrom(8));
    // Three cards, all the way down: a first word 0 is refused, the next picks.
    std::array<std::int16_t, 3> three{0, 1, 2};
    fisherYates(three, [n = 0](std::span<std::uint64_t> w) mutable {
        for (auto& word : w) word = n++ == 1 ? 1ull << 63 : 0;
    });
    EXPECT_EQ(three, (std::array<std::int16_t, 3>{2, 0, 1}));
}

}  // namespace
}  // namespace server
