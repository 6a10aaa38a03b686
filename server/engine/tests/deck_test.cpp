// The deal and the card exchange, with known decks.

#include <gtest/gtest.h>

#include <stdexcept>

#include "server/engine/tests/table.h"

namespace server::testing {
namespace {

std::string hand(const Player& p) {
    std::string s;
    for (int i = 0; i < 5; ++i) s += std::to_string(p.card(i)) + " ";
    return s;
}

// The deal skips an empty seat; a bank below the ante goes negative.
TEST(Deck, DealInSeatOrder) {
    Table t(3);
    t.game.removeClient(t[1]);
    t[0].Bank = 3;
    t.game.StartGame();
    EXPECT_EQ(hand(t[0]) + hand(t[2]) + std::to_string(t[0].Bank), "0 1 2 3 4 5 6 7 8 9 -2");
    EXPECT_EQ(t[1].Ante + t.none.Ante, 0);
    EXPECT_THROW(t[0].card(5), std::out_of_range);
}

// Two players are dealt 0..4 and 5..9 (or `top` first), then replace cards:
// "<seat>:<position>x<times>", or "deal" again. When the stock runs out, the
// discards made before this exchange, in the order given up, are the new stock.
TEST(Deck, ExchangeDrawsFromTheStockThenTheDiscards) {
    const struct {
        std::vector<int> top;
        std::vector<std::string> moves;
        std::string hands;
    } rows[] = {
        {{}, {"0:1x1", "0:3x1", "1:0x1"}, "0 10 2 11 4 | 12 6 7 8 9 "},
        {{}, {"0:2x2"}, "0 1 11 3 4 | 5 6 7 8 9 "},  // the second replacement stays
        {{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 0}, {"1:4x1"}, "1 2 3 4 5 | 6 7 8 9 0 "},
        {{}, {"0:0x42", "0:1x1"}, "51 1 2 3 4 | 5 6 7 8 9 "},  // his own discards never come back to him
        {{}, {"0:0x42", "0:1x43", "1:0x1"}, "51 1 2 3 4 | 0 6 7 8 9 "},
        {{}, {"0:3x42", "1:0x1"}, "0 1 2 51 4 | 3 6 7 8 9 "},  // the discards, not what the deck held
        {{}, {"0:0x42", "0:1x1", "deal", "0:0x42"}, "51 1 2 3 4 | 5 6 7 8 9 "}};  // a new deal, a whole stock
    for (const auto& r : rows) {
        SCOPED_TRACE(r.hands);
        Table t(2);
        t.top = r.top;
        t.game.StartGame();
        for (const auto& m : r.moves)
            for (int k = m == "deal" ? (t.game.StartGame(), 0) : std::stoi(m.substr(4)); k > 0; --k)
                t.game.replaceCard(t[m[0] - '0'], m[2] - '0');
        EXPECT_EQ(hand(t[0]) + "| " + hand(t[1]), r.hands);
    }
}

}  // namespace
}  // namespace server::testing
