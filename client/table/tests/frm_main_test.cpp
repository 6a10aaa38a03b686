#include "client/table/frm_main.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include "fakes.h"

namespace client {
namespace {

class FrmMainTest : public ::testing::Test {
protected:
    FrmMainTest() {
        auto counting = std::make_unique<testing::CountingSound>();
        sound = counting.get();
        window = std::make_unique<frmMain>(std::move(counting));
    }

    testing::CountingSound* sound = nullptr;
    std::unique_ptr<frmMain> window;
};

TEST_F(FrmMainTest, ControlsStandWhereTheLayoutPutsThem) {
    struct Row {
        QWidget* widget;
        QRect where;
    };
    const Row rows[] = {
        {window->Label17, {0, 0, 737, 145}},
        {window->imgCard[0], {16, 8, 85, 125}},
        {window->imgCard[4], {368, 8, 85, 125}},
        {window->cmdDone, {460, 12, 77, 25}},
        {window->txtRaise, {460, 44, 25, 21}},
        {window->cmdRaise, {488, 44, 49, 25}},
        {window->cmdCall, {460, 76, 77, 25}},
        {window->cmdPass, {460, 108, 77, 25}},
        {window->lstSeat, {4, 148, 529, 121}},
        {window->txtTcp, {536, 148, 189, 265}},
        {window->Label1, {8, 284, 33, 21}},
        {window->txtChat, {44, 280, 489, 21}},
        {window->txtChatLog, {4, 304, 529, 109}},
        {window->StatusBar1, {0, 417, 729, 21}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.widget->objectName().toStdString());
        EXPECT_EQ(row.widget->geometry(), row.where);
    }
    EXPECT_EQ(window->centralWidget()->size(), QSize(729, 438));
}

TEST_F(FrmMainTest, StartsWithTitleBacksSixSeatRowsAndNoActionControls) {
    EXPECT_EQ(window->windowTitle(), "Tessarin v0.924");
    for (std::int16_t p = 0; p < 5; ++p) EXPECT_EQ(window->SlotPicture(p), "back");
    QTreeWidget* list = window->lstSeat;
    ASSERT_EQ(list->columnCount(), 6);
    const char* headers[] = {"Seat", "Name", "State", "Exchanged", "Bank", "Bet"};
    const int widths[] = {27, 67, 100, 33, 67, 67};
    for (int c = 0; c < 6; ++c) {
        EXPECT_EQ(list->headerItem()->text(c), headers[c]);
        EXPECT_EQ(list->columnWidth(c), widths[c]);
    }
    ASSERT_EQ(list->topLevelItemCount(), 6);
    for (int r = 0; r < 6; ++r) {
        EXPECT_EQ(list->topLevelItem(r)->text(0), QString::number(r));
        for (int c = 1; c < 6; ++c) EXPECT_TRUE(list->topLevelItem(r)->text(c).isEmpty());
    }
    window->show();
    EXPECT_FALSE(window->cmdDone->isVisible());
    EXPECT_FALSE(window->cmdPass->isVisible());
    EXPECT_FALSE(window->txtRaise->isVisible());
    EXPECT_EQ(window->txtRaise->text(), "1");
    EXPECT_TRUE(window->txtChatLog->isReadOnly());
    EXPECT_EQ(window->txtChatLog->palette().color(QPalette::Base), window->palette().color(QPalette::Button));
}

TEST_F(FrmMainTest, MenusCarryTheirCaptionsAndShortcuts) {
    const auto top = window->menuBar()->actions();
    ASSERT_EQ(top.size(), 2);
    EXPECT_EQ(top[0]->text(), "&Game");
    EXPECT_EQ(top[1]->text(), "&About");
    const auto items = top[0]->menu()->actions();
    ASSERT_EQ(items.size(), 5);
    EXPECT_EQ(items[0], window->mnuConnect);
    EXPECT_EQ(items[1]->text(), "&New Game");
    EXPECT_EQ(items[1]->shortcut(), QKeySequence("Ctrl+N"));
    EXPECT_EQ(items[2]->shortcut(), QKeySequence("Ctrl+J"));
    EXPECT_EQ(items[3]->text(), "&Start Game");
    EXPECT_EQ(items[3]->shortcut(), QKeySequence("Ctrl+S"));
    EXPECT_EQ(items[4]->text(), "&Exit");
}

TEST_F(FrmMainTest, FontsAreTheSansFaceAtEightPointsWithBoldButtons) {
    EXPECT_DOUBLE_EQ(window->txtChat->font().pointSizeF(), 8.25);
    EXPECT_FALSE(window->txtChat->font().bold());
    EXPECT_TRUE(window->cmdDone->font().bold());
    EXPECT_DOUBLE_EQ(window->cmdDone->font().pointSizeF(), 8.25);
}

TEST_F(FrmMainTest, DrawCardShowsTheHolderOrLeavesTheSlot) {
    window->DrawCard(1, 47);
    EXPECT_EQ(window->SlotPicture(1), "S10");
    window->DrawCard(1, 99);
    EXPECT_EQ(window->SlotPicture(1), "S10");
    window->DrawCard(1, -4);
    EXPECT_EQ(window->SlotPicture(1), "S10");
    window->DrawCard(1, 53);
    EXPECT_EQ(window->SlotPicture(1), "JR");
    window->DrawCard(1, 101);
    EXPECT_EQ(window->SlotPicture(1), "");
    EXPECT_TRUE(window->imgCard[1]->pixmap().isNull());
    window->DrawCard(1, 100);
    EXPECT_EQ(window->SlotPicture(1), "back");
}

TEST_F(FrmMainTest, ClickingACardTogglesItsMarkAndBlanksIt) {
    window->show();
    window->Hand.ClearHand();
    window->Hand.PutCard(2, 30);
    QTest::mouseClick(window->imgCard[2], Qt::LeftButton);
    EXPECT_TRUE(window->Hand.CardHidden(2));
    EXPECT_EQ(window->SlotPicture(2), "");
    QTest::mouseClick(window->imgCard[2], Qt::LeftButton);
    EXPECT_FALSE(window->Hand.CardHidden(2));
    EXPECT_EQ(window->SlotPicture(2), "H6");
    EXPECT_EQ(window->Hand.Card(2), 30);
}

TEST_F(FrmMainTest, DealThroughTheHandSoundsOncePerChangedCard) {
    window->Hand.ClearHand();
    for (std::int16_t p = 0; p < 5; ++p) window->Hand.PutCard(p, static_cast<std::int16_t>(8 + p));
    window->Hand.Check_Hand();
    EXPECT_EQ(sound->played.size(), 5u);
    EXPECT_EQ(window->SlotPicture(0), "C10");
    EXPECT_EQ(window->SlotPicture(4), "C1");
    EXPECT_TRUE(window->StatusText().startsWith("Royal Flush"));
}

TEST_F(FrmMainTest, ActionModesShowOneGroupAtATime) {
    window->show();
    window->ShowActionMode(ActionMode::CardChanging);
    EXPECT_TRUE(window->cmdDone->isVisible());
    EXPECT_FALSE(window->cmdCall->isVisible());
    window->ShowActionMode(ActionMode::Betting);
    EXPECT_FALSE(window->cmdDone->isVisible());
    for (QWidget* w : {static_cast<QWidget*>(window->cmdPass), static_cast<QWidget*>(window->cmdCall),
                       static_cast<QWidget*>(window->cmdRaise), static_cast<QWidget*>(window->txtRaise)})
        EXPECT_TRUE(w->isVisible());
    window->ShowActionMode(ActionMode::Idle);
    EXPECT_FALSE(window->cmdPass->isVisible());
    EXPECT_FALSE(window->cmdDone->isVisible());
}

TEST_F(FrmMainTest, TraceAndChatAppendLinesWithTheWireLineEnd) {
    window->AppendTrace("HELLO Quorvane v0.924\r\nLOGIN\r\n");
    window->AppendTrace(">LOGIN bob\r\n");
    EXPECT_EQ(window->txtTcp->toPlainText(), "HELLO Quorvane v0.924\nLOGIN\n>LOGIN bob\n");
    window->AppendChat("\r\na> hi");
    EXPECT_EQ(window->txtChatLog->toPlainText(), "\na> hi");
    window->ShowStatus("Connect Failed");
    EXPECT_EQ(window->StatusText(), "Connect Failed");
}

TEST_F(FrmMainTest, ClosingAnnouncesItselfAndFirstShowActivatesOnce) {
    int activations = 0, unloads = 0;
    QObject::connect(window.get(), &frmMain::firstActivation, [&] { ++activations; });
    QObject::connect(window.get(), &frmMain::unloading, [&] { ++unloads; });
    window->show();
    for (int i = 0; i < 200 && activations == 0; ++i) QTest::qWait(5);
    EXPECT_EQ(activations, 1);
    window->hide();
    window->show();
    QTest::qWait(20);
    EXPECT_EQ(activations, 1);
    window->close();
    EXPECT_EQ(unloads, 1);
}

}  // namespace
}  // namespace client
