// The table window offscreen: its layout, its starting state and real clicks.
#include "client/table/frm_main.h"

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

struct FrmMainTest : ::testing::Test {
    frmMain window{std::make_unique<testing::CountingSound>()};
};

TEST_F(FrmMainTest, LayoutFontsMenusAndStartingStateFollowTheTableOfControls) {
    const std::pair<QWidget*, QRect> controls[] = {
        {window.Label17, {0, 0, 737, 145}},      {window.imgCard[0], {16, 8, 85, 125}},
        {window.imgCard[4], {368, 8, 85, 125}},  {window.cmdDone, {460, 12, 77, 25}},
        {window.txtRaise, {460, 44, 25, 21}},    {window.cmdRaise, {488, 44, 49, 25}},
        {window.cmdCall, {460, 76, 77, 25}},     {window.cmdPass, {460, 108, 77, 25}},
        {window.lstSeat, {4, 148, 529, 121}},    {window.txtTcp, {536, 148, 189, 265}},
        {window.Label1, {8, 284, 33, 21}},       {window.txtChat, {44, 280, 489, 21}},
        {window.txtChatLog, {4, 304, 529, 109}}, {window.StatusBar1, {0, 417, 729, 21}},
    };
    for (const auto& [widget, where] : controls) {
        SCOPED_TRACE(widget->objectName().toStdString());
        EXPECT_EQ(widget->geometry(), where);
        EXPECT_DOUBLE_EQ(widget->font().pointSizeF(), 8.25);
        EXPECT_EQ(widget->font().bold(), qobject_cast<QPushButton*>(widget) != nullptr);
    }
    EXPECT_EQ(window.centralWidget()->size(), QSize(729, 438));
    EXPECT_EQ(window.menuBar()->actions()[0]->text(), "&Game");
    const std::tuple<QAction*, const char*, const char*> menu[] = {
        {window.mnuConnect, "&Connect", ""},
        {window.mnuNewGame, "&New Game", "Ctrl+N"},
        {window.mnuJoinGame, "&Join Game", "Ctrl+J"},
        {window.mnuStartGame, "&Start Game", "Ctrl+S"},
        {window.mnuExit, "&Exit", ""},
        {window.mnuAbout, "&About", ""}};
    for (const auto& [action, text, keys] : menu) {
        EXPECT_EQ(action->text(), text);
        EXPECT_EQ(action->shortcut(), QKeySequence(keys));
    }
    EXPECT_EQ(window.windowTitle(), "Tessarin v0.924");
    for (std::int16_t p = 0; p < 5; ++p) EXPECT_EQ(window.slotPicture(p), "back");
    QTreeWidget* list = window.lstSeat;
    const std::pair<const char*, int> columns[] = {{"Seat", 27},      {"Name", 67}, {"State", 100},
                                                   {"Exchanged", 33}, {"Bank", 67}, {"Bet", 67}};
    ASSERT_EQ(list->columnCount(), 6);
    ASSERT_EQ(list->topLevelItemCount(), 6);
    for (int c = 0; c < 6; ++c) {
        EXPECT_EQ(list->headerItem()->text(c), columns[c].first);
        EXPECT_EQ(list->columnWidth(c), columns[c].second);
        for (int r = 0; r < 6; ++r)
            EXPECT_EQ(list->topLevelItem(r)->text(c), c == 0 ? QString::number(r) : "");
    }
    EXPECT_EQ(window.txtRaise->text(), "1");
    EXPECT_TRUE(window.txtChatLog->isReadOnly());
    EXPECT_EQ(window.txtChatLog->palette().color(QPalette::Base), window.palette().color(QPalette::Button));
}

TEST_F(FrmMainTest, ActionModesShowOneGroupAtATimeAndNoneAtFirst) {
    window.show();
    const std::tuple<ActionMode, bool, bool> rows[] = {{ActionMode::Idle, false, false},
                                                       {ActionMode::CardChanging, true, false},
                                                       {ActionMode::Betting, false, true},
                                                       {ActionMode::Idle, false, false}};
    for (bool first = true; const auto& [mode, done, betting] : rows) {
        SCOPED_TRACE(static_cast<int>(mode));
        if (!first) window.showActionMode(mode);
        first = false;
        EXPECT_EQ(window.cmdDone->isVisible(), done);
        for (QWidget* w : std::initializer_list<QWidget*>{window.cmdPass, window.cmdCall, window.cmdRaise,
                                                          window.txtRaise})
            EXPECT_EQ(w->isVisible(), betting);
    }
}

TEST_F(FrmMainTest, ClickingACardTogglesItsMarkAndBlanksIt) {
    window.show();
    window.Hand.PutCard(2, 30);
    QTest::mouseClick(window.imgCard[2], Qt::LeftButton);
    EXPECT_TRUE(window.Hand.CardHidden(2));
    EXPECT_EQ(window.slotPicture(2), "");
    QTest::mouseClick(window.imgCard[2], Qt::LeftButton);
    EXPECT_FALSE(window.Hand.CardHidden(2));
    EXPECT_EQ(window.slotPicture(2), "H6");
}

}  // namespace
}  // namespace client
