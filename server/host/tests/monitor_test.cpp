// The monitor: one row per tick in slot order, and what each column shows.

#include <QTreeWidget>

#include "poker/hand_value.h"
#include "server/host/tests/host_fixture.h"

namespace server::testing {
namespace {

using MonitorTest = HostTest;

QStringList row(frmMain& w, int slot) {
    QStringList texts;
    for (int c = 0; c < frmMain::kColumns; ++c) texts << w.ListView1->topLevelItem(slot - 1)->text(c);
    return texts;
}

TEST_F(MonitorTest, EachTickRefreshesTheNextRowAndWrapsAfterTen) {
    QStringList headers;
    for (int c = 0; c < frmMain::kColumns; ++c) headers << window->ListView1->headerItem()->text(c);
    EXPECT_EQ(headers, (QStringList{"Client", "Game", "State", "User", "IP", "Port", "SockState", "Hand"}));
    for (int ticks = 1; ticks <= frmMain::kSlots; ++ticks) {
        window->Timer1_Timer();
        for (int r = 1; r <= frmMain::kSlots; ++r)
            EXPECT_EQ(row(*window, r)[2], r <= ticks ? "Void" : "") << "tick " << ticks << " row " << r;
    }
    // Slot 1 changes; only the eleventh tick, which is row 1's again, shows it.
    LineClient& c = connect();
    window->Timer1_Timer();
    const QString port = QString::number(c.socket.localPort());
    EXPECT_EQ(row(*window, 1), (QStringList{"1", "-1", "WaitLogin", "", "127.0.0.1", port, "7", ""}));
    EXPECT_EQ(row(*window, 2)[2], "Void");
    // The real timer drives the same refresh.
    window->Timer1->start();
    connect();
    EXPECT_TRUE(waitFor([&] { return row(*window, 2)[2] == "WaitLogin"; }));
}

TEST_F(MonitorTest, SeatedPlayerShowsHisHandAndADisconnectedSlotIsEmptyAgain) {
    LineClient& c = connect("Dora");
    c.send("NEWGAME\tlate show");
    c.send("STARTGAME");
    const L lines = c.read(3);
    poker::clsHandValue hand;
    std::array<std::int16_t, 5> cards{};
    std::istringstream(lines[2].substr(10)) >> cards[0] >> cards[1] >> cards[2] >> cards[3] >> cards[4];
    hand.LoadCards(cards);
    hand.Check_Hand();
    for (int i = 0; i < frmMain::kSlots; ++i) window->Timer1_Timer();
    EXPECT_EQ(row(*window, 1),
              (QStringList{"1", "1", "WaitChange", "dora", "127.0.0.1", QString::number(c.socket.localPort()),
                           "7", QString::fromLatin1(hand.HandName.c_str())}));
    c.socket.disconnectFromHost();
    ASSERT_TRUE(waitForLog("Winsock1_Close: index=1"));
    for (int i = 0; i < frmMain::kSlots; ++i) window->Timer1_Timer();
    EXPECT_EQ(row(*window, 1), (QStringList{"1", "-1", "Void", "", "", "", "0", ""}));
}

}  // namespace
}  // namespace server::testing
