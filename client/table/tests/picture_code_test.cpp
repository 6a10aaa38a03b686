#include "client/table/picture_code.h"

#include <gtest/gtest.h>

#include <set>

namespace client {
namespace {

struct Row {
    std::int16_t code;
    const char* holder;
};

TEST(PictureCode, CardsJokersBackAndEmptyHaveTheirHolders) {
    const Row rows[] = {
        {0, "C2"},  {7, "C9"},  {8, "C10"}, {9, "CJ"},  {10, "CQ"}, {11, "CK"}, {12, "C1"},
        {13, "D2"}, {21, "D10"}, {25, "D1"}, {26, "H2"}, {34, "H10"}, {36, "HQ"}, {38, "H1"},
        {39, "S2"}, {47, "S10"}, {50, "SK"}, {51, "S1"}, {52, "JB"}, {53, "JR"}, {100, "back"},
        {101, ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.code);
        const auto holder = HolderName(row.code);
        ASSERT_TRUE(holder.has_value());
        EXPECT_EQ(*holder, row.holder);
    }
}

TEST(PictureCode, OtherCodesLeaveTheSlotAlone) {
    for (std::int16_t code : {-32768, -1, 54, 77, 99, 102, 200, 32767}) {
        SCOPED_TRACE(code);
        EXPECT_FALSE(HolderName(code).has_value());
    }
}

TEST(PictureCode, FiftyFiveDistinctPicturesIncludingTheBack) {
    const auto& holders = PictureHolders();
    const std::set<std::string> distinct(holders.begin(), holders.end());
    EXPECT_EQ(distinct.size(), 55u);
    EXPECT_TRUE(distinct.count("back"));
    EXPECT_TRUE(distinct.count("JB"));
    EXPECT_TRUE(distinct.count("JR"));
    EXPECT_FALSE(distinct.count(""));
}

}  // namespace
}  // namespace client
