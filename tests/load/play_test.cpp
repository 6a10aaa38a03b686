// Ten scripted players at five tables play whole hands over the loopback with
// random legal actions; everything they receive is checked, every winner is
// recomputed from the hands, and no chip is lost.

#include <gtest/gtest.h>

#include "tests/load/load_harness.h"

namespace load {
namespace {

TEST(PlayLoad, TenPlayersAtFiveTablesPlayWholeHandsAndEveryChipStays) {
    InProcessHost host;
    const int hands = scaled(80, 60);
    std::vector<std::unique_ptr<Player>> owned;
    for (int i = 0; i < 10; ++i) {
        owned.push_back(std::make_unique<Player>("p" + std::to_string(i), 1000u + i));
        owned.back()->stopAfterDeals = hands;
    }
    const auto players = pointers(owned);
    std::vector<WinnerCheck> tables;
    for (int t = 0; t < 5; ++t) tables.emplace_back(*players[2 * t], *players[2 * t + 1]);
    int reports = 0;
    bool finished = false;

    host.runBeside([&] {
        for (int t = 0; t < 5; ++t) {
            Player &a = *players[2 * t], &b = *players[2 * t + 1];
            if (!a.logIn(host.port()) || !b.logIn(host.port()) || a.newGame("table" + std::to_string(t)) == 0 ||
                !b.joinGame(a.game, 1))
                return;
        }
        for (int t = 0; t < 5; ++t) players[2 * t]->send("STARTGAME");
        const auto deadline = Clock::now() + std::chrono::seconds(kSanitized ? 150 : 50);
        finished = playUntil(
            players, [&] { return std::all_of(owned.begin(), owned.end(), [](auto& p) { return p->stopped; }); },
            deadline, [&](Player& p, const std::string& line) {
                p.onLine(line);
                if (p.reportDone && ++reports && (p.report.players() != 2 || p.report.chips() != 2000))
                    p.fail("chips at the table: " + std::to_string(p.report.chips()));
                tables[p.game - 1].update();
            });
    });

    EXPECT_TRUE(finished) << "the hands did not complete in time";
    EXPECT_EQ(allErrors(players), "");
    int checked = 0, showdowns = 0;
    for (const auto& t : tables) checked += t.checked, showdowns += t.showdowns;
    for (const Player* p : players) EXPECT_EQ(static_cast<int>(p->winners.size()), hands) << p->name;
    EXPECT_EQ(checked, 5 * hands);
    // Random play reaches both ways of ending a hand.
    EXPECT_GT(showdowns, 0);
    EXPECT_LT(showdowns, checked);
    EXPECT_GT(reports, 0);
}

}  // namespace
}  // namespace load
