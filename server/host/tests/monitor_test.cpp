// The monitor: one row per tick in slot order, and what each column shows.

#include <QTreeWidget>

#include "poker/hand_value.h"
#include "server/host/tests/host_fixture.h"

namespace server::testing {
namespace {

using MonitorTest = HostTest;

QStringList rowTexts(frmMain& w, int row) {
    QStringList texts;
    const QTreeWidgetItem* item = w.ListView1->topLevelItem(row - 1);
    for (int c = 0; c < frmMain::kColumns; ++c) texts << item->text(c);
    return texts;
}

// Ten ticks refresh every row once.
void fullPass(frmMain& w) {
    for (int i = 0; i < frmMain::kSlots; ++i) w.Timer1_Timer();
}

TEST_F(MonitorTest, EachTickRefreshesTheNextRowAndWrapsAfterTen) {
    for (int row = 1; row <= frmMain::kSlots; ++row) {
        SCOPED_TRACE(row);
        window->Timer1_Timer();
        for (int r = 1; r <= frmMain::kSlots; ++r) {
            const QString expected = r <= row ? QStringLiteral("Void") : QString();
            EXPECT_EQ(window->ListView1->topLevelItem(r - 1)->text(2), expected) << "row " << r;
        }
    }
    // Slot 1 changes; only the eleventh tick, which is row 1's again, shows it.
    LineClient& c = connectGreeted();
    ASSERT_EQ(slotOf(c), 1);
    EXPECT_EQ(rowTexts(*window, 1)[2], "Void");
    window->Timer1_Timer();
    EXPECT_EQ(rowTexts(*window, 1),
              (QStringList{"1", "-1", "WaitLogin", "", "127.0.0.1", QString::number(c.localPort()), "7", ""}));
    EXPECT_EQ(rowTexts(*window, 2)[2], "Void");
}

TEST_F(MonitorTest, PlayerAtATableShowsHisGameStateAndHand) {
    LineClient& c = connectGreeted();
    c.send("LOGIN\tDora");
    c.expectLines({"OK\tLOGIN"});
    fullPass(*window);
    EXPECT_EQ(rowTexts(*window, 1),
              (QStringList{"1", "-1", "GameSelect", "dora", "127.0.0.1", QString::number(c.localPort()), "7", ""}));

    c.send("NEWGAME\tlate show");
    c.expectLines({"OK\tNEWGAME 1", "SEAT\t0"});
    c.send("STARTGAME");
    const auto dealt = c.readLine();
    ASSERT_TRUE(dealt);
    std::array<std::int16_t, 5> cards{};
    const QStringList fields = QString::fromLatin1(dealt->c_str()).split('\t');
    ASSERT_EQ(fields.size(), 6);
    for (int p = 0; p < 5; ++p) cards[p] = static_cast<std::int16_t>(fields[p + 1].toInt());
    poker::clsHandValue hand;
    hand.LoadCards(cards);
    hand.Check_Hand();
    ASSERT_FALSE(hand.HandName.empty());

    fullPass(*window);
    EXPECT_EQ(rowTexts(*window, 1), (QStringList{"1", "1", "WaitChange", "dora", "127.0.0.1",
                                                QString::number(c.localPort()), "7",
                                                QString::fromLatin1(hand.HandName.c_str())}));
}

TEST_F(MonitorTest, DisconnectedSlotShowsAnEmptyVoidRowWithinOnePass) {
    LineClient& c = connectGreeted();
    c.send("LOGIN\teve");
    c.expectLines({"OK\tLOGIN"});
    c.send("NEWGAME\tt");
    c.expectLines({"OK\tNEWGAME 1", "SEAT\t0"});
    c.send("STARTGAME");
    ASSERT_TRUE(c.readUntil("SEAT_BANK"));
    fullPass(*window);
    ASSERT_NE(rowTexts(*window, 1)[7], "");

    c.disconnect();
    ASSERT_TRUE(waitForLog("Winsock1_Close: index=1"));
    fullPass(*window);
    EXPECT_EQ(rowTexts(*window, 1), (QStringList{"1", "-1", "Void", "", "", "", "0", ""}));
}

TEST_F(MonitorTest, TimerRunsEveryTenthOfASecond) {
    EXPECT_EQ(window->Timer1->interval(), 100);
    window->Timer1->start();
    // Real ticks fill the rows too (bounded wait, no timing claim).
    EXPECT_TRUE(waitFor([&] { return rowTexts(*window, 3)[2] == "Void"; }));
}

}  // namespace
}  // namespace server::testing
