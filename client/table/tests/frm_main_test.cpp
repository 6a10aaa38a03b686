// The table window's card pictures and cursor, and where the card sound is
// found. The window at work is in the program's test.
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
    for (auto* slot : window.imgCard) {
        EXPECT_EQ(slot->pixmap().cacheKey(), window.holderPicture("back").cacheKey());
        EXPECT_EQ(slot->cursor().hotSpot(), QPoint(12, 1));
        EXPECT_EQ(slot->cursor().pixmap().size(), QSize(32, 32));
    }
}

TEST(WavSound, IsFoundInTheWorkingDirectoryElseBesideTheProgramElseInTheDataFolder) {
    QTemporaryDir root;
    const QDir dir(root.path());
    std::string found;
    for (const QString sub : {"share/tessarin", "games", "work"}) {
        ASSERT_TRUE(dir.mkpath(sub) && QFile(dir.filePath(sub + "/cardd.wav")).open(QIODevice::WriteOnly));
        found +=
            dir.relativeFilePath(findWav("cardd", dir.filePath("work"), dir.filePath("games"))).toStdString();
    }
    EXPECT_EQ(found, "share/tessarin/cardd.wavgames/cardd.wavwork/cardd.wav");
}

}  // namespace
}  // namespace client
