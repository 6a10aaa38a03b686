// The table window's card pictures and cursor, and where its sound is found; at work in the program's test.
#include "client/table/frm_main.h"

#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "client/core/picture_code.h"
#include "client/table/sound.h"

namespace client {
namespace {

TEST(FrmMain, PicturesAreSeventyOneByNinetySixWithGreenCornersUnderTheHandCursor) {
#ifndef QUORVANE_HAVE_CARD_ART
    GTEST_SKIP() << "the card artwork is not part of this build";
#endif
    frmMain window;
    for (const auto& holder : pictureHolders()) {
        const QImage image = window.holderPicture(holder).toImage();
        ASSERT_EQ(image.size(), QSize(71, 96)) << holder;
        for (QPoint corner : {QPoint(0, 0), QPoint(70, 0), QPoint(0, 95), QPoint(70, 95)})
            EXPECT_EQ(image.pixelColor(corner), QColor(0, 128, 0)) << holder;
    }
    for (auto* slot : window.imgCard)
        EXPECT_EQ(slot->pixmap().cacheKey(), window.holderPicture("back").cacheKey()) << slot->index();
    EXPECT_EQ(window.imgCard[4]->cursor().hotSpot(), QPoint(12, 1));  // the hand's finger tip
    EXPECT_EQ(window.imgCard[4]->cursor().pixmap().size(), QSize(32, 32));
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
