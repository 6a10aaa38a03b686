// Ten scripted players at five tables play a few hundred whole hands over
// the loopback with random legal actions; everything they receive is
// checked, every winner is recomputed from the hands, and no chip is lost.

#include <gtest/gtest.h>

#include <map>

#include "tests/load/host_runner.h"
#include "tests/load/scripted_player.h"

namespace load {
namespace {

constexpr int kTables = 5;

TEST(PlayLoad, TenPlayersAtFiveTablesPlayWholeHandsAndEveryChipStays) {
    InProcessHost host;
    ASSERT_NE(host.port(), 0);
    const int handsPerTable = scaled(80, 60);

    std::vector<std::unique_ptr<Player>> owned;
    std::vector<Player*> players;
    for (int i = 0; i < 2 * kTables; ++i) {
        owned.push_back(std::make_unique<Player>("p" + std::to_string(i), 1000u + static_cast<unsigned>(i)));
        owned.back()->stopAfterDeals = handsPerTable;
        players.push_back(owned.back().get());
    }
    int winnersChecked = 0;
    int showdowns = 0;
    int chipChecks = 0;
    bool finished = false;

    host.runBeside([&] {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(kSanitized ? 150 : 50);
        for (int t = 0; t < kTables; ++t) {
            Player& a = *players[2 * t];
            Player& b = *players[2 * t + 1];
            if (!logIn(a, host.port()) || !logIn(b, host.port())) return;
            if (newGame(a, "table" + std::to_string(t)) == 0) return;
            if (joinGame(b, a.game) != 1) return;
        }
        for (int t = 0; t < kTables; ++t) players[2 * t]->send("STARTGAME");

        std::vector<WinnerPairCheck> pairs;
        for (int t = 0; t < kTables; ++t) pairs.emplace_back(*players[2 * t], *players[2 * t + 1]);
        auto onLine = [&](Player& p, const std::string& line) {
            p.onLine(line);
            const int t = static_cast<int>(std::find(players.begin(), players.end(), &p) - players.begin()) / 2;
            if (p.check.reportJustCompleted()) {
                ++chipChecks;
                const TableReport& r = p.check.report();
                if (r.players() != 2 || r.chipsOfPlayers() != 2000)
                    p.fail("chips at the table: " + std::to_string(r.chipsOfPlayers()) + " instead of 2000");
            }
            pairs[t].update();
        };
        finished = playUntil(
            players, [&] { return std::all_of(players.begin(), players.end(), [](Player* p) { return p->stopped; }); },
            deadline, onLine);
        for (const auto& pair : pairs) {
            winnersChecked += pair.checked();
            showdowns += pair.showdowns();
        }
    });

    EXPECT_TRUE(finished) << "the hands did not complete in time";
    EXPECT_EQ(allErrors(players), "");
    for (const Player* p : players) {
        SCOPED_TRACE(p->name);
        EXPECT_EQ(static_cast<int>(p->winners.size()), handsPerTable);
    }
    EXPECT_EQ(winnersChecked, kTables * handsPerTable);
    // Random play reaches both ways of ending a hand.
    EXPECT_GT(showdowns, 0);
    EXPECT_LT(showdowns, winnersChecked);
    EXPECT_GT(chipChecks, 0);
}

}  // namespace
}  // namespace load
