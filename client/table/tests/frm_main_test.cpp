// The table window: pictures and cursor at both densities, what the protocol shows on it, where its sound is.
#include "client/table/frm_main.h"

#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include "client/table/sound.h"

namespace client {
namespace {

TEST(FrmMain, PicturesAtEitherDensityFillTheSameRoomWithGreenCornersUnderTheHandCursor) {
#ifndef QUORVANE_HAVE_CARD_ART
    GTEST_SKIP() << "the card artwork is not part of this build";
#endif
    for (const qreal ratio : {1.0, 1.5, 2.0}) {  // the double size above 1
        const int scale = ratio > 1 ? 2 : 1;
        for (const auto& holder : pictureHolders()) {
            const QPixmap picture = cardPicture(holder, ratio);
            const QImage image = picture.toImage();
            ASSERT_EQ(image.size(), QSize(71, 96) * scale) << holder;
            EXPECT_EQ(picture.deviceIndependentSize(), QSizeF(71, 96)) << holder;
            const QRect r = image.rect();
            for (QPoint corner : {r.topLeft(), r.topRight(), r.bottomLeft(), r.bottomRight()})
                EXPECT_EQ(image.pixelColor(corner), QColor(0, 128, 0)) << holder;
        }
        EXPECT_EQ(cardPicture("hand", ratio).size(), QSize(32, 32) * scale);
    }
}

// Beyond the program's two-player test: a fold greyed, what has ended hidden, marked cards dimmed, names.
TEST(FrmMain, GreysAFoldClearsWhatEndedAndDimsMarkedCardsUnderTheirNames) {
    frmMain w;
    EXPECT_EQ(w.imgCard[4]->pixmap().cacheKey(), w.holderPicture("back").cacheKey());
    EXPECT_EQ(w.imgCard[4]->cursor().hotSpot(), QPoint(12, 1));             // the hand's finger tip
    for (const std::string state : {"Folded", "Waiting for Game Start"}) {  // greyed, then not
        w.setSeatCell(2, SeatColumn::State, state);
        EXPECT_EQ(w.lstSeat->topLevelItem(2)->data(5, Qt::ForegroundRole).isValid(), state == "Folded");
    }
    w.showTable(3), w.showGameName("friday"), w.setTitle("T - Seat 2"), w.showPot(0, 0), w.outcomeHoldMs = 0;
    const std::string outcome = std::string(40, 'W') + " wins 5";  // a name wider than the strip: shortened
    w.showOutcome(outcome);
    for (const QString& word : w.lblOutcome->text().split(' '))
        EXPECT_LT(QFontMetrics(w.lblOutcome->font()).horizontalAdvance(word), w.lblOutcome->width() - 8);
    EXPECT_EQ(w.lblOutcome->accessibleName().toStdString(), outcome);
    w.showActionMode(ActionMode::CardChanging), w.showPot(-1, 0), w.showTable(0);
    EXPECT_TRUE(w.lblOutcome->isHidden() && w.lblPot->isHidden() && w.gamePanel->isHidden());
    EXPECT_EQ(w.windowTitle(), "T - Seat 2");

    // A code without a picture keeps the slot's card, marked or not.
    w.DrawCard(0, 10), w.DrawMarkedCard(1, 10), w.DrawCard(2, kPictureEmpty), w.DrawMarkedCard(3, 60);
    QStringList names;
    for (QWidget* c : std::initializer_list<QWidget*>{w.imgCard[0], w.imgCard[1], w.imgCard[2], w.imgCard[3],
                                                      w.cmdDone, w.cmdPass, w.cmdCall, w.cmdRaise, w.txtRaise,
                                                      w.lstSeat, w.lblPot, w.txtHistory})
        names << c->accessibleName();
    EXPECT_EQ(names.join(";"),
              "Queen of clubs;Queen of clubs, marked for exchange;Empty;Card back, marked for "
              "exchange;Done;Pass;Call;Raise;Raise amount;Seats;Pot 0 — nothing to call;Hand history");
    // Dimmed: darker than the plain card, and not the empty slot.
    auto spot = [&](int p) { return w.imgCard[p]->grab().toImage().pixelColor(36, 5); };
    EXPECT_LT(spot(1).lightness(), spot(0).lightness() - 80);
    EXPECT_NE(spot(1), spot(2));
    w.addHistory("hand 1\nann wins"), w.addHistory("hand 2");
    EXPECT_EQ(w.txtHistory->toPlainText(), "hand 1\nann wins\n\nhand 2");
}

TEST(WavSound, IsFoundInTheWorkingDirectoryElseBesideTheProgramElseInTheDataFolder) {
    QTemporaryDir root;
    const QDir dir(root.path());
    QString found;  // each folder gets a copy in turn, the working one last
    for (const QString sub : {"share/tessarin", "games", "work"}) {
        ASSERT_TRUE(dir.mkpath(sub) && QFile(dir.filePath(sub + "/cardd.wav")).open(QIODevice::WriteOnly));
        found += dir.relativeFilePath(findWav("cardd", dir.filePath("work"), dir.filePath("games"))) + " ";
    }
    EXPECT_EQ(found.toStdString(), "share/tessarin/cardd.wav games/cardd.wav work/cardd.wav ");
}

}  // namespace
}  // namespace client
