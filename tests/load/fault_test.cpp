// Peers that misbehave while two honest players play at the same table:
// an over-long line, half a line and silence, a close while on turn, and a
// reset. The honest players' hands go on, the server stays up, and they
// lose nothing: the departed player's stake goes to the hand's winner.

#include <gtest/gtest.h>

#include "tests/load/host_runner.h"
#include "tests/load/scripted_player.h"

namespace load {
namespace {

enum class Fault { OverLongLine, CloseOnTurn, Reset };

struct FaultRun {
    std::vector<std::unique_ptr<Player>> owned;
    std::vector<Player*> players;  // A, B, X
    Player& a() { return *players[0]; }
    Player& b() { return *players[1]; }
    Player& x() { return *players[2]; }
};

// A and B play `hands` hands at one table; X sits with them at seat 2 and
// misbehaves in the first hand. Returns what the honest players must hold
// at the end: everything at the table but what X kept in his bank.
void runFault(Fault fault, InProcessHost& host, FaultRun& run, bool& finished, std::int64_t& expectedChips,
              bool& xClosedByServer) {
    const int hands = scaled(20, 10);
    for (const char* n : {"anna", "bert", "xeno"}) {
        run.owned.push_back(std::make_unique<Player>(n, static_cast<unsigned>(run.owned.size() + 31)));
        run.players.push_back(run.owned.back().get());
    }
    run.a().stopAfterDeals = hands;
    run.b().stopAfterDeals = hands;
    Player& a = run.a();
    Player& b = run.b();
    Player& x = run.x();

    host.runBeside([&] {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(kSanitized ? 90 : 30);
        for (Player* p : run.players)
            if (!logIn(*p, host.port())) return;
        if (newGame(a, "faults") == 0 || joinGame(b, a.game) != 1 || joinGame(x, a.game) != 2) return;
        a.send("STARTGAME");

        WinnerPairCheck pair(a, b);
        std::int64_t xBank = 1000;
        auto xLeaves = [&](const std::function<void()>& how) {
            how();
            x.gone = true;
        };
        auto onLine = [&](Player& p, const std::string& line) {
            if (&p == &x) {
                x.check.check(line);
                const std::string& c = x.check.fields()[0];
                if (fault == Fault::OverLongLine && c == "STARTGAME") {
                    xLeaves([&] {
                        x.peer->sendRaw(std::string(70 * 1024, 'x'));
                        xClosedByServer = x.peer->waitClosedByServer(10000);
                    });
                } else if (fault == Fault::Reset && c == "STARTGAME") {
                    xLeaves([&] { x.peer->resetConnection(); });
                } else if (fault == Fault::CloseOnTurn && c == "BET") {
                    xLeaves([&] { x.peer->close(); });
                } else if (c == "STARTGAME") {
                    x.send("EXCHANGE");
                }
                return;
            }
            // In the first hand seat 0 raises and seat 1 calls, so the turn reaches X.
            if (fault == Fault::CloseOnTurn && line == "BET" && p.deals == 1 && p.winners.empty()) {
                p.check.check(line);
                p.send(&p == &a ? "BET\t10" : "BET\t0");
                return;
            }
            p.onLine(line);
            if (p.check.reportJustCompleted()) {
                const TableReport& r = p.check.report();
                if (r.name[2] == x.name) xBank = r.bank[2];
            }
            pair.update();
        };
        finished = playUntil(run.players, [&] { return a.stopped && b.stopped; }, deadline, onLine);
        expectedChips = 3000 - xBank;
        if (pair.checked() < hands - 1) a.fail("only " + std::to_string(pair.checked()) + " winners checked");
    });
    host.settle(100);
}

void expectHonestPlayersWhole(FaultRun& run, bool finished, std::int64_t expectedChips) {
    EXPECT_TRUE(finished) << "the honest players' hands did not go on";
    EXPECT_EQ(allErrors({&run.a(), &run.b()}), "");
    const TableReport& last = run.a().check.report();
    EXPECT_EQ(last.players(), 2);
    EXPECT_EQ(last.name[2], "");
    EXPECT_EQ(last.chipsOfPlayers(), expectedChips);
    EXPECT_EQ(run.b().check.report().chipsOfPlayers(), expectedChips);
}

TEST(FaultLoad, OverLongLineClosesOnlyThatConnection) {
    InProcessHost host;
    FaultRun run;
    bool finished = false, closedByServer = false;
    std::int64_t expected = 0;
    runFault(Fault::OverLongLine, host, run, finished, expected, closedByServer);
    EXPECT_TRUE(closedByServer);
    expectHonestPlayersWhole(run, finished, expected);
    EXPECT_EQ(host.busySlots(), 2);
}

TEST(FaultLoad, PlayerWhoClosesWhileOnTurnLeavesHisStakeToTheWinner) {
    InProcessHost host;
    FaultRun run;
    bool finished = false, unused = false;
    std::int64_t expected = 0;
    runFault(Fault::CloseOnTurn, host, run, finished, expected, unused);
    expectHonestPlayersWhole(run, finished, expected);
    // X had put in his ante and nothing more: the others hold 2005 between them.
    EXPECT_EQ(expected, 2005);
    EXPECT_EQ(host.busySlots(), 2);
}

TEST(FaultLoad, ResetConnectionDuringTheExchangeLetsTheHandGoOn) {
    InProcessHost host;
    FaultRun run;
    bool finished = false, unused = false;
    std::int64_t expected = 0;
    runFault(Fault::Reset, host, run, finished, expected, unused);
    expectHonestPlayersWhole(run, finished, expected);
    EXPECT_EQ(expected, 2005);
    EXPECT_EQ(host.busySlots(), 2);
}

TEST(FaultLoad, HalfALineThenSilenceHoldsUpNobody) {
    InProcessHost host;
    const int hands = scaled(20, 10);
    Player a("anna", 1), b("bert", 2), x("xeno", 3);
    a.stopAfterDeals = hands;
    b.stopAfterDeals = hands;
    bool finished = false;
    std::optional<std::string> chat;
    host.runBeside([&] {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(kSanitized ? 90 : 30);
        for (Player* p : {&a, &b, &x})
            if (!logIn(*p, host.port())) return;
        if (newGame(a, "busy") == 0 || joinGame(b, a.game) != 1 || newGame(x, "quiet") == 0) return;
        // X goes quiet in the middle of a line while the others play.
        x.peer->sendRaw("CHAT\thel");
        a.send("STARTGAME");
        WinnerPairCheck pair(a, b);
        finished = playUntil({&a, &b}, [&] { return a.stopped && b.stopped; }, deadline,
                             [&](Player& p, const std::string& line) {
                                 p.onLine(line);
                                 if (p.check.reportJustCompleted() && p.check.report().chipsOfPlayers() != 2000)
                                     p.fail("chips at the table changed");
                                 pair.update();
                             });
        // The rest of X's line arrives much later and is read as one line.
        x.peer->sendRaw("lo\r\n");
        chat = x.expect("CHAT");
    });
    EXPECT_TRUE(finished);
    EXPECT_EQ(allErrors({&a, &b, &x}), "");
    EXPECT_EQ(chat, std::optional<std::string>("CHAT\txeno> hello"));
    EXPECT_EQ(host.busySlots(), 3);
}

}  // namespace
}  // namespace load
