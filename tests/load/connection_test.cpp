// The ten connection slots under load: an eleventh caller is turned away
// while the ten are served, and a thousand short visits leave every slot
// and every table free and the memory where it was.

#include <gtest/gtest.h>

#include <set>
#include <thread>

#include "tests/load/host_runner.h"
#include "tests/load/scripted_player.h"

namespace load {
namespace {

std::vector<Player*> pointers(std::vector<std::unique_ptr<Player>>& owned) {
    std::vector<Player*> v;
    for (auto& p : owned) v.push_back(p.get());
    return v;
}

TEST(ConnectionLoad, EleventhConnectionIsClosedAtOnceAndTheTenAreStillServed) {
    InProcessHost host;
    ASSERT_NE(host.port(), 0);
    std::vector<std::unique_ptr<Player>> owned;
    for (int i = 0; i < 10; ++i) owned.push_back(std::make_unique<Player>("u" + std::to_string(i), 7u + i));
    auto players = pointers(owned);
    bool refused = false;
    std::string eleventhGot;
    host.runBeside([&] {
        for (Player* p : players)
            if (!logIn(*p, host.port())) return;
        auto eleventh = LinePeer::connectTo(host.port());
        if (!eleventh) return;  // not even the handshake: also a refusal, but the listener should accept
        // Nothing but the end of the stream may come.
        if (auto line = eleventh->readLine(5000)) eleventhGot = *line;
        refused = eleventh->atEnd();
        for (Player* p : players) {
            p->send("SEAT");
            p->expect("SEAT\t-1");
        }
        // Still refused on a second try while the ten stay.
        auto twelfth = LinePeer::connectTo(host.port());
        if (twelfth && twelfth->readLine(5000)) refused = false;
        if (twelfth) refused = refused && twelfth->atEnd();
    });
    EXPECT_TRUE(refused);
    EXPECT_EQ(eleventhGot, "");
    EXPECT_EQ(allErrors(players), "");
    EXPECT_EQ(host.busySlots(), 10);
}

// One visit: connect, log in, sit down, go. `join` 0 creates a table.
bool visit(std::uint16_t port, int n, int join, int& tableOut, std::string& error) {
    Player p("v" + std::to_string(n), static_cast<unsigned>(n));
    // All ten slots may still be held by visitors whose close the server has
    // not handled yet: such a caller is turned away and tries again.
    for (int attempt = 0; attempt < 200; ++attempt) {
        p.peer = LinePeer::connectTo(port);
        if (!p.peer) {
            error = "cannot connect";
            return false;
        }
        if (auto hello = p.peer->readLine(5000)) {
            p.check.check(*hello);
            break;
        }
        if (!p.peer->atEnd()) {
            error = "no greeting";
            return false;
        }
        p.peer.reset();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    if (!p.peer || !p.expect("LOGIN")) {
        error = "no LOGIN prompt";
        return false;
    }
    p.send("LOGIN\t" + p.name);
    if (!p.expect("OK\tLOGIN")) {
        error = allErrors({&p});
        return false;
    }
    if (join == 0) {
        tableOut = newGame(p, "g" + std::to_string(n));
    } else {
        p.send("JOINGAME\t" + std::to_string(join));
        // The table may be full of visitors whose close is not handled yet:
        // either answer is fine, but one must come.
        bool answered = false;
        while (auto line = p.peer->readLine(5000)) {
            p.check.check(*line);
            if (*line == "OK\tJOINGAME" || *line == "ERROR\tJOINGAME") {
                answered = true;
                break;
            }
        }
        if (!answered) p.fail("no answer to JOINGAME");
        tableOut = join;
    }
    error = allErrors({&p});
    return error.empty();
}

TEST(ConnectionLoad, AThousandVisitsLeaveEverySlotAndTableFreeAndMemoryBounded) {
    InProcessHost host;
    ASSERT_NE(host.port(), 0);
    constexpr int visits = 1000;
    constexpr int kBatch = 5;  // visitors at once
    std::string failure;
    std::int64_t rssBefore = 0;
    std::int64_t rssAfter = 0;

    auto runVisits = [&](int from, int count) {
        host.runBeside([&] {
            for (int start = from; start < from + count && failure.empty(); start += kBatch) {
                std::vector<std::thread> batch;
                std::vector<std::string> errors(kBatch);
                for (int k = 0; k < kBatch; ++k) {
                    batch.emplace_back([&, k] {
                        int table = 0;
                        // The first of a batch creates a table, the others join table 1.
                        visit(host.port(), start + k, k == 0 ? 0 : 1, table, errors[k]);
                    });
                }
                for (auto& t : batch) t.join();
                for (const auto& e : errors)
                    if (!e.empty() && failure.empty()) failure = "visit near " + std::to_string(start) + ": " + e;
            }
        });
    };

    // A first round brings every allocation of the program to its steady size.
    runVisits(0, 50);
    host.settle(200);
    rssBefore = residentBytes();
    runVisits(50, visits);
    ASSERT_EQ(failure, "");
    // Every close is handled: all slots free.
    for (int i = 0; i < 100 && host.busySlots() > 0; ++i) host.settle(20);
    EXPECT_EQ(host.busySlots(), 0);
    rssAfter = residentBytes();

    // Ten newcomers all get in and each creates a table: all ten are free.
    std::vector<std::unique_ptr<Player>> owned;
    for (int i = 0; i < 10; ++i) owned.push_back(std::make_unique<Player>("n" + std::to_string(i), 50u + i));
    auto players = pointers(owned);
    std::set<int> games;
    host.runBeside([&] {
        for (Player* p : players) {
            if (!logIn(*p, host.port())) return;
            games.insert(newGame(*p, "fresh"));
        }
        for (Player* p : players) {
            p->send("SEAT");
            p->expect("SEAT\t0");
        }
    });
    EXPECT_EQ(allErrors(players), "");
    EXPECT_EQ(games, (std::set<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));

    if (!kSanitized) {
        const std::int64_t grown = rssAfter - rssBefore;
        EXPECT_LT(grown, std::int64_t{8} << 20) << "resident size grew by " << grown << " bytes";
    }
}

}  // namespace
}  // namespace load
