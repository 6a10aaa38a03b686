// The card pictures and the cursor as the window loads them from its resources.
#include <QImage>

#include <gtest/gtest.h>

#include <set>

#include "client/core/picture_code.h"
#include "client/table/frm_main.h"

namespace client {
namespace {

TEST(Artwork, FiftyFivePicturesAtSeventyOneByNinetySixWithGreenCornersAndTheHandCursor) {
#ifndef QUORVANE_HAVE_CARD_ART
    GTEST_SKIP() << "the card artwork is not part of this build yet";
#endif
    frmMain window;
    const auto& holders = pictureHolders();
    EXPECT_EQ(std::set<std::string>(holders.begin(), holders.end()).size(), 55u);
    for (const auto& holder : holders) {
        SCOPED_TRACE(holder);
        const QImage image = window.holderPicture(holder).toImage();
        ASSERT_FALSE(image.isNull());
        EXPECT_EQ(image.size(), QSize(71, 96));
        for (QPoint corner : {QPoint(0, 0), QPoint(70, 0), QPoint(0, 95), QPoint(70, 95)})
            EXPECT_EQ(image.pixelColor(corner).rgb(), QColor(0, 128, 0).rgb());
    }
    for (auto* slot : window.imgCard) {
        EXPECT_EQ(slot->pixmap().cacheKey(), window.holderPicture("back").cacheKey());
        EXPECT_EQ(slot->cursor().hotSpot(), QPoint(12, 1));
        EXPECT_EQ(slot->cursor().pixmap().size(), QSize(32, 32));
    }
    window.DrawCard(3, 26);
    EXPECT_EQ(window.imgCard[3]->pixmap().cacheKey(), window.holderPicture("H2").cacheKey());
}

}  // namespace
}  // namespace client
