// The picture-code table, both as holder names and as what a card slot shows.
#include "client/core/picture_code.h"

#include <gtest/gtest.h>

#include <optional>

#include "client/table/frm_main.h"
#include "fakes.h"

namespace client {
namespace {

TEST(PictureCode, EachCodeShowsItsHolderAndOtherCodesLeaveTheSlotAsItIs) {
    struct Row {
        std::int16_t code;
        std::optional<std::string> holder;  // none: not a picture code
    };
    const Row rows[] = {
        {0, "C2"},
        {7, "C9"},
        {8, "C10"},
        {9, "CJ"},
        {10, "CQ"},
        {11, "CK"},
        {12, "C1"},
        {-1, std::nullopt},
        {13, "D2"},
        {25, "D1"},
        {26, "H2"},
        {36, "HQ"},
        {38, "H1"},
        {47, "S10"},
        {50, "SK"},
        {51, "S1"},
        {54, std::nullopt},
        {52, "JB"},
        {53, "JR"},
        {99, std::nullopt},
        {100, "back"},
        {102, std::nullopt},
        {101, ""},
        {-32768, std::nullopt},
        {32767, std::nullopt},
    };
    frmMain window(std::make_unique<testing::CountingSound>());
    std::string shown = "back";
    for (const auto& row : rows) {
        SCOPED_TRACE(row.code);
        EXPECT_EQ(holderName(row.code), row.holder);
        window.DrawCard(1, row.code);
        if (row.holder) shown = *row.holder;
        EXPECT_EQ(window.slotPicture(1), shown);
    }
    EXPECT_TRUE(window.imgCard[1]->pixmap().isNull()) << "the empty slot shows no picture";
}

}  // namespace
}  // namespace client
