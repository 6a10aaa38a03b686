#include <gtest/gtest.h>

#include <limits>
#include <numeric>
#include <random>

#include "bot/player.h"
#include "bot/tests/notation.h"

namespace {

using namespace bot;

// Us at `seat` against one opponent at the other of seats 0 and 1, both past the exchange.
TableView headsUp(const char* cards, int seat, int drew, int theyDrew, std::int32_t theirAnte = kAnte) {
    TableView table{
        {kAnte, kAnte, 0, 0, 0, 0}, {6, 5, 0, 0, 0, 0}, {-1, -1, -1, -1, -1, -1}, seat, hand(cards)};
    table.exchange[seat] = drew;
    table.exchange[1 - seat] = theyDrew;
    table.ante[1 - seat] = theirAnte;
    return table;
}

TEST(Betting, AnswersByStrengthAndPotOdds) {
    constexpr std::int32_t kHuge = std::numeric_limits<std::int32_t>::max() - 1000;
    const struct Row {
        const char* what;
        TableView table;
        Style style;
        std::int32_t expected;
    } rows[] = {
        {"trash folds to a big raise", headsUp("Kd 9c 7h 4s 2d", 1, 4, 1, 105), kSolid, -1},
        {"queens call a half-pot raise", headsUp("Qc Qd Kh 5s 2c", 1, 3, 3, 10), kSolid, 0},
        {"queens fold to a pot raise", headsUp("Qc Qd Kh 5s 2c", 1, 3, 3, 15), kSolid, -1},
        {"a full house opens with the pot", headsUp("8c 8d 8h 3s 3c", 0, 1, 3), kSolid, 10},
        {"a full house raises the pot", headsUp("8c 8d 8h 3s 3c", 1, 1, 3, 55), kSolid, 60},
        {"tight raises half the pot", headsUp("8c 8d 8h 3s 3c", 1, 1, 3, 55), kTight, 30},
        {"a stake never passes 32 bits", headsUp("8c 8d 8h 8s 3c", 1, 1, 1, kHuge), kSolid, 1000},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        EXPECT_EQ(Player(row.style).bet(row.table).amount, row.expected);
    }
}

TEST(Betting, RaisesThreeTimesAHandAtMost) {
    Player player;
    auto table = headsUp("8c 8d 8h 8s 3c", 1, 1, 1);
    for (int hand = 0; hand < 2; ++hand, player.newHand()) {
        for (int turn = 0; turn < 4; ++turn) {
            table.ante[0] = table.ante[1] + 10;  // they raise again
            const auto amount = player.bet(table).amount;
            EXPECT_EQ(amount > 0, turn < kMaxOwnRaises) << "hand " << hand << ", turn " << turn;
            table.ante[1] = table.ante[0] + amount;
        }
    }
}

TEST(Betting, BluffsAreAThirdOfPotSizedBets) {
    // Opening heads-up with whatever a plain draw left us.
    Player player(kSolid, 11);
    std::mt19937_64 rng(3);
    std::array<poker::CardCode, 52> deck{};
    std::iota(deck.begin(), deck.end(), poker::CardCode{0});
    int bets = 0, bluffs = 0;
    for (int n = 0; n < 2000; ++n, player.newHand()) {
        std::shuffle(deck.begin(), deck.end(), rng);
        auto table = headsUp("2c 3c 4c 5c 7d", 0, 0, 3);
        std::copy_n(deck.begin(), 5, table.cards.begin());
        for (int p = 0, keep = typicalKeep(table.cards); p < 5; ++p)
            if (!(keep >> p & 1)) table.cards[p] = deck[5 + table.exchange[0]++];
        const auto choice = player.bet(table);
        bets += choice.amount == 10;  // the pot
        bluffs += choice.bluff;
    }
    // A little short of a third: a draw to trips seldom misses, so there is little to bluff with.
    EXPECT_TRUE(bluffs > 0.25 * bets && bluffs < 0.4 * bets) << bluffs << " of " << bets;
}

TEST(Betting, ReplaysWithTheSameSeed) {
    // A missed flush draw opening the betting: bluffed or shown down at random.
    const auto table = headsUp("Kh Th 6h 3h 8c", 0, 1, 3);
    auto play = [&](std::uint64_t seed) {
        Player player(kSolid, seed);
        std::vector<std::int32_t> answers;
        for (int n = 0; n < 40; ++n, player.newHand()) answers.push_back(player.bet(table).amount);
        return answers;
    };
    EXPECT_EQ(play(7), play(7));
    EXPECT_NE(play(7), play(8));
}

}  // namespace
