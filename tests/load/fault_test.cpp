// Peers that misbehave while two honest players play at the same table: an
// over-long line, a close while on turn, a reset, and half a line followed by
// silence. The honest players' hands go on and they lose nothing: what the
// departed player put in goes to the hand's winner.

#include <gtest/gtest.h>

#include "tests/load/load_harness.h"

namespace load {
namespace {

enum class Fault { OverLongLine, CloseOnTurn, Reset, HalfLine };

struct Outcome {
    bool finished = false, closedByServer = false;
    std::int64_t honestChips = 0;  // what anna and bert must hold at the end
    Report lastA, lastB;
    std::string errors;
    std::optional<std::string> chat;  // what the half-line peer finally said
    int busySlots = 0;
};

// anna and bert play at one table; xeno sits with them at seat 2 and
// misbehaves in the first hand, or, with half a line, sits at a table of his own.
Outcome run(Fault fault) {
    InProcessHost host;
    const int hands = scaled(20, 10);
    Player a("anna", 31), b("bert", 32), x("xeno", 33);
    a.stopAfterDeals = b.stopAfterDeals = hands;
    Outcome out;
    host.runBeside([&] {
        for (Player* p : {&a, &b, &x})
            if (!p->logIn(host.port())) return;
        if (a.newGame("faults") == 0 || !b.joinGame(a.game, 1)) return;
        if (fault == Fault::HalfLine ? x.newGame("quiet") == 0 : !x.joinGame(a.game, 2)) return;
        if (fault == Fault::HalfLine) x.peer->sendRaw("CHAT\thel");
        a.send("STARTGAME");
        WinnerCheck winners(a, b);
        std::int64_t xBank = 1000;
        auto onLine = [&](Player& p, const std::string& line) {
            if (&p == &x) {
                x.check(line);
                const std::string& c = x.fields[0];
                if (fault == Fault::OverLongLine && c == "STARTGAME") {
                    x.peer->sendRaw(std::string(70 * 1024, 'x'));
                    out.closedByServer = x.peer->waitClosedByServer(10000);
                } else if (fault == Fault::Reset && c == "STARTGAME") {
                    x.peer->reset();
                } else if (fault == Fault::CloseOnTurn && c == "BET") {
                    x.peer->close();
                } else {
                    if (c == "STARTGAME") x.send("EXCHANGE");
                    return;
                }
                x.gone = true;
                return;
            }
            // In the first hand seat 0 raises and seat 1 calls, so the turn reaches xeno.
            if (fault == Fault::CloseOnTurn && line == "BET" && p.winners.empty()) {
                p.check(line);
                return p.send(&p == &a ? "BET\t10" : "BET\t0");
            }
            p.onLine(line);
            if (p.reportDone && p.report.name[2] == x.name) xBank = p.report.bank[2];
            winners.update();
        };
        const auto deadline = Clock::now() + std::chrono::seconds(kSanitized ? 90 : 30);
        out.finished = playUntil({&a, &b, &x}, [&] { return a.stopped && b.stopped; }, deadline, onLine);
        out.honestChips = (fault == Fault::HalfLine ? 2000 : 3000 - xBank);
        if (winners.checked < hands - 1) a.fail("only " + std::to_string(winners.checked) + " winners checked");
        if (fault == Fault::HalfLine) {
            // The rest of the line arrives much later and is read as one line.
            x.peer->sendRaw("lo\r\n");
            out.chat = x.expect("CHAT");
        }
    });
    host.settle(100);
    out.lastA = a.report;
    out.lastB = b.report;
    out.errors = allErrors({&a, &b});
    out.busySlots = host.busySlots();
    return out;
}

TEST(FaultLoad, MisbehavingPeersCostTheHonestPlayersNothing) {
    const struct {
        const char* name;
        Fault fault;
        std::int64_t honestChips;  // 0: whatever xeno did not keep
        int busySlots;
    } cases[] = {
        {"over-long line", Fault::OverLongLine, 0, 2},
        {"close while on turn", Fault::CloseOnTurn, 2005, 2},  // xeno leaves his ante
        {"reset during the exchange", Fault::Reset, 2005, 2},
        {"half a line, then silence", Fault::HalfLine, 2000, 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Outcome o = run(c.fault);
        EXPECT_TRUE(o.finished) << "the honest players' hands did not go on";
        EXPECT_EQ(o.errors, "");
        if (c.honestChips) {
            EXPECT_EQ(o.honestChips, c.honestChips);
        }
        EXPECT_EQ(o.lastA.players(), 2);
        EXPECT_EQ(o.lastA.chips(), o.honestChips);
        EXPECT_EQ(o.lastB.chips(), o.honestChips);
        EXPECT_EQ(o.busySlots, c.busySlots);
        if (c.fault == Fault::OverLongLine) {
            EXPECT_TRUE(o.closedByServer);
        }
        if (c.fault == Fault::HalfLine) {
            EXPECT_EQ(o.chat, std::optional<std::string>("CHAT\txeno> hello"));
        }
    }
}

}  // namespace
}  // namespace load
