#include <gtest/gtest.h>

#include <numeric>
#include <random>
#include <string_view>
#include <tuple>

#include "bot/player.h"
#include "poker/hand_value.h"

namespace {

using namespace bot;

// "As 9d Th 2c 2d": value then suit, as players write hands.
Cards hand(std::string_view text) {
    Cards cards{};
    for (int i = 0; i < 5; ++i)
        cards[i] = static_cast<poker::CardCode>(std::string_view("cdhs").find(text[3 * i + 1]) * 13 +
                                                std::string_view("23456789TJQKA").find(text[3 * i]));
    return cards;
}

TEST(Draw, ExactImprovementOdds) {
    const std::tuple<const char*, unsigned, poker::Category, std::pair<int, int>> rows[] = {
        {"9c 9d Kh 5s 2c", 0x03, poker::TwoPairs, {4656, 16215}},  // a pair drawing three improves: 28.71 %
        {"Kh Th 6h 3h 8c", 0x0F, poker::Flush, {9, 47}},           // four to a flush fills: 19.15 %
    };
    for (const auto& [cards, keep, atLeast, odds] : rows) {
        std::pair<int, int> counted;
        forEachDraw(hand(cards), keep, [&](const Cards& h) {
            poker::clsHandValue hv;
            hv.LoadCards(h), hv.Check_Hand();
            counted.first += hv.Value(0) >= atLeast, ++counted.second;
        });
        EXPECT_EQ(counted, odds) << cards;
    }
}

// We sit at seat 0 of four and exchange first.
TEST(Draw, FollowsTheDrawTableAtATableOfFour) {
    const std::pair<const char*, unsigned> rows[] = {
        {"5c 5d Jh 8s 2c", 0x03},  // a pair: draw three
        {"Jc Jd 4h 4s 2c", 0x0F},  // two pairs: draw one
        {"7c 7d 7h 4s 2c", 0x07},  // trips: draw two
        {"Kh Th 6h 3h 8c", 0x0F},  // four to a flush: draw one
        {"2c 6d 7h 8s 9c", 0x1E},  // open-ended four to a straight: draw one
        {"Tc Jd Qh Ks 2c", 0x0F},  // the same, the ace above
        {"As 2d 3c 4h 5d", 0x01},  // nothing (an ace plays high only): keep the ace, draw four
        {"2c 3d 4h 5s 6c", 0x1F},  // the lowest straight: stand pat
    };
    Style honest = kSolid;
    honest.bluffScale = 0;
    for (const auto& [cards, keep] : rows) {
        SCOPED_TRACE(cards);
        const TableView table{{}, {4, 4, 4, 4, 0, 0}, {-1, -1, -1, -1, -1, -1}, 0, hand(cards)};
        EXPECT_EQ(Player(honest).discard(table).keep, keep);
        EXPECT_EQ(typicalKeep(table.cards), keep);  // what the others are taken to play
    }
}

// Us at `seat` against one opponent at the other of seats 0 and 1, both past the exchange.
TableView headsUp(const char* cards, int seat, int drew, int theyDrew, std::int32_t theirAnte = kAnte,
                  std::int32_t bank = 1000) {
    TableView table{{kAnte, kAnte}, {6, 5}, {-1, -1, -1, -1, -1, -1}, seat, hand(cards), {bank, bank}};
    table.exchange[seat] = drew, table.exchange[1 - seat] = theyDrew, table.ante[1 - seat] = theirAnte;
    return table;
}

TEST(Betting, ReadsTheTableReport) {
    TableView table;
    for (const char* line :
         {"SEAT_ANTE\t15\t5\t0\t0\t0\t0", "SEAT_NAME\tann\tbob\t\t\t\t", "SEAT_STATE\t5\t6\t0\t3\t0\t0",
          "SEAT_EXCHANGE\t2\t0\t-1\t-1\t-1\t-1", "SEAT_BANK\t985\t995\t1000\t1000\t1000\t1000"})
        table.apply(std::get<wire::srv::TableRow>(wire::parseServerLine(wire::splitLine(line))));
    using Column = std::array<std::int32_t, kSeats>;
    EXPECT_EQ(std::tuple(table.ante, table.state, table.exchange, table.bank),
              std::tuple(Column{15, 5, 0, 0, 0, 0}, Column{5, 6, 0, 3, 0, 0}, Column{2, 0, -1, -1, -1, -1},
                         Column{985, 995, 1000, 1000, 1000, 1000}));
}

TEST(Betting, AnswersByStrengthAndPotOdds) {
    const std::tuple<const char*, TableView, Style, std::int32_t> rows[] = {
        {"trash folds to a big raise", headsUp("Kd 9c 7h 4s 2d", 1, 4, 1, 105), kSolid, -1},
        {"queens call a half-pot raise", headsUp("Qc Qd Kh 5s 2c", 1, 3, 3, 10), kSolid, 0},
        {"queens fold to a pot raise", headsUp("Qc Qd Kh 5s 2c", 1, 3, 3, 15), kSolid, -1},
        {"queens fold to half the pot from a pat hand", headsUp("Qc Qd Kh 5s 2c", 1, 3, 0, 10), kSolid, -1},
        {"a full house opens with the pot", headsUp("8c 8d 8h 3s 3c", 0, 1, 3), kSolid, 10},
        {"a full house raises the pot", headsUp("8c 8d 8h 3s 3c", 1, 1, 3, 55), kSolid, 60},
        {"tight raises half the pot", headsUp("8c 8d 8h 3s 3c", 1, 1, 3, 55), kTight, 30},
        {"no more than the bank keeps after the call", headsUp("8c 8d 8h 3s 3c", 1, 1, 3, 55, 90), kSolid,
         40},
        {"a bank that cannot call only calls", headsUp("8c 8d 8h 3s 3c", 1, 1, 3, 55, 30), kSolid, 0},
        {"a raise both can still call", headsUp("8c 8d 8h 8s 3c", 1, 1, 1, 700'000'000, INT32_MAX), kSolid,
         373'741'823},
    };
    for (const auto& [what, table, style, expected] : rows)
        EXPECT_EQ(Player(style).bet(table).amount, expected) << what;
    using Answer = std::optional<std::int32_t>;
    EXPECT_EQ((std::vector{afterRefusal(60), afterRefusal(0), afterRefusal(-1)}),
              (std::vector<Answer>{0, -1, std::nullopt}));
}

TEST(Betting, RaisesThreeTimesAHandAtMost) {
    Player player;
    auto table = headsUp("8c 8d 8h 8s 3c", 1, 1, 1);
    for (int hand = 0; hand < 2; ++hand, player.newHand())
        for (int turn = 0; turn < 4; ++turn) {
            table.ante[0] = table.ante[1] + 10;  // they raise again
            const auto amount = player.bet(table).amount;
            EXPECT_EQ(amount > 0, turn < kMaxOwnRaises) << "hand " << hand << ", turn " << turn;
            table.ante[1] = table.ante[0] + amount;
        }
}

TEST(Betting, BluffsAreAThirdOfPotSizedBetsAndReplayWithTheSeed) {
    // Opening heads-up with whatever a plain draw left us: the pot bets, and the hands bluffed.
    const auto play = [](std::uint64_t seed) {
        Player player(kSolid, seed);
        std::mt19937_64 rng(3);
        std::array<poker::CardCode, 52> deck{};
        std::iota(deck.begin(), deck.end(), poker::CardCode{0});
        std::pair<int, std::vector<int>> bets;
        for (int n = 0; n < 2000; ++n, player.newHand()) {
            std::shuffle(deck.begin(), deck.end(), rng);
            auto table = headsUp("2c 3c 4c 5c 7d", 0, 0, 3);
            std::copy_n(deck.begin(), 5, table.cards.begin());
            for (int p = 0, keep = typicalKeep(table.cards); p < 5; ++p)
                if (!(keep >> p & 1)) table.cards[p] = deck[5 + table.exchange[0]++];
            const auto choice = player.bet(table);
            bets.first += choice.amount == 10;
            if (choice.bluff) bets.second.push_back(n);
        }
        return bets;
    };
    const auto bets = play(11);
    const auto bluffs = static_cast<double>(bets.second.size());
    // A little short of a third: a draw to trips seldom misses, so there is little to bluff with.
    EXPECT_TRUE(bluffs > 0.25 * bets.first && bluffs < 0.4 * bets.first) << bluffs << " of " << bets.first;
    EXPECT_EQ(play(11), bets);
    EXPECT_NE(play(12).second, bets.second);
}

}  // namespace
