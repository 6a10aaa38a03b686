#include "client/table/hand.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "client/table/picture_code.h"
#include "fakes.h"

namespace client {
namespace {

using testing::CountingSound;
using testing::RecordingView;
using Draw = std::pair<std::int16_t, std::int16_t>;

class HandTest : public ::testing::Test {
protected:
    void deal(std::initializer_list<std::int16_t> codes) {
        hand.ClearHand();
        std::int16_t p = 0;
        for (auto c : codes) hand.PutCard(p++, c);
        view.draws.clear();
        sound.played.clear();
    }

    RecordingView view;
    CountingSound sound;
    clsHand hand{view, sound};
};

TEST_F(HandTest, StartsWithZeroCodesAndNoMarks) {
    for (std::int16_t p = 0; p < 5; ++p) {
        EXPECT_EQ(hand.Card(p), 0);
        EXPECT_FALSE(hand.CardHidden(p));
    }
    EXPECT_TRUE(view.draws.empty());
}

TEST_F(HandTest, ClearHandBlanksAllFiveLeftToRightWithoutSoundAndUnmarks) {
    deal({1, 2, 3, 4, 5});
    hand.CardHidden(1) = true;
    hand.CardHidden(3) = true;
    hand.ClearHand();
    EXPECT_EQ(view.draws, (std::vector<Draw>{{0, 101}, {1, 101}, {2, 101}, {3, 101}, {4, 101}}));
    EXPECT_TRUE(sound.played.empty());
    for (std::int16_t p = 0; p < 5; ++p) {
        EXPECT_EQ(hand.Card(p), kPictureEmpty);
        EXPECT_FALSE(hand.CardHidden(p));
    }
}

TEST_F(HandTest, PutCardDrawsThenSoundsOnlyWhenTheCardChanges) {
    deal({1, 2, 3, 4, 5});
    hand.CardHidden(2) = true;
    hand.PutCard(2, 3);  // unchanged
    EXPECT_TRUE(view.draws.empty());
    EXPECT_TRUE(sound.played.empty());
    EXPECT_TRUE(hand.CardHidden(2));

    hand.PutCard(2, 40);
    EXPECT_EQ(view.draws, (std::vector<Draw>{{2, 40}}));
    EXPECT_EQ(sound.played, (std::vector<std::string>{"cardd"}));
    EXPECT_FALSE(hand.CardHidden(2));
}

TEST_F(HandTest, PuttingTheEmptyCodeOnACardBlanksItWithSound) {
    deal({1, 2, 3, 4, 5});
    hand.PutCard(0, kPictureEmpty);
    EXPECT_EQ(view.draws, (std::vector<Draw>{{0, 101}}));
    EXPECT_EQ(sound.played.size(), 1u);
}

TEST_F(HandTest, MarkingBlanksTheSlotAndUnmarkingShowsTheCardAgain) {
    deal({1, 2, 30, 4, 5});
    hand.CardHidden(2) = true;
    EXPECT_TRUE(view.draws.empty()) << "assigning the mark does not redraw";
    hand.DrawCard(2);
    hand.CardHidden(2) = false;
    hand.DrawCard(2);
    EXPECT_EQ(view.draws, (std::vector<Draw>{{2, 101}, {2, 30}}));
    EXPECT_EQ(hand.Card(2), 30);
}

TEST_F(HandTest, ExchangeResultRedrawsAndSoundsOnlyChangedPositions) {
    deal({1, 2, 3, 4, 5});
    hand.CardHidden(1) = true;
    hand.CardHidden(3) = true;
    hand.CardHidden(4) = true;  // marked, but the server kept it
    const std::int16_t result[] = {1, 20, 3, 21, 5};
    for (std::int16_t p = 0; p < 5; ++p) hand.PutCard(p, result[p]);
    EXPECT_EQ(view.draws, (std::vector<Draw>{{1, 20}, {3, 21}}));
    EXPECT_EQ(sound.played.size(), 2u);
    EXPECT_FALSE(hand.CardHidden(1));
    EXPECT_FALSE(hand.CardHidden(3));
    EXPECT_TRUE(hand.CardHidden(4));
}

TEST_F(HandTest, DrawHandDrawsAllPositionsInOrderHonouringMarks) {
    deal({10, 11, 12, 13, 14});
    hand.CardHidden(3) = true;
    hand.DrawHand();
    EXPECT_EQ(view.draws, (std::vector<Draw>{{0, 10}, {1, 11}, {2, 12}, {3, 101}, {4, 14}}));
}

TEST_F(HandTest, AssigningCardNeitherDrawsNorTouchesTheMark) {
    hand.CardHidden(0) = true;
    hand.Card(0) = 44;
    EXPECT_EQ(hand.Card(0), 44);
    EXPECT_TRUE(hand.CardHidden(0));
    EXPECT_TRUE(view.draws.empty());
}

TEST_F(HandTest, CheckHandShowsTheNameInTheStatusBar) {
    struct Case {
        std::initializer_list<std::int16_t> codes;
        const char* name;
    };
    const Case cases[] = {
        {{8, 9, 10, 11, 12}, "Royal Flush A    "},
        {{0, 13, 26, 5, 18}, "Full House 2 7   "},
        {{0, 14, 28, 42, 4}, "Straight 6    "},
        {{0, 13, 27, 41, 51}, "Pair 2 A 4 3 "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        deal(c.codes);
        view.statuses.clear();
        hand.Check_Hand();
        EXPECT_EQ(view.statuses, (std::vector<std::string>{c.name}));
    }
}

TEST_F(HandTest, CheckHandNamesNothingWhileASlotHoldsNoCard) {
    deal({8, 9, 10, 11, 12});
    hand.PutCard(4, kPictureEmpty);
    view.statuses.clear();
    hand.Check_Hand();
    hand.Card(4) = -3;
    hand.Check_Hand();
    EXPECT_TRUE(view.statuses.empty());
}

TEST_F(HandTest, ValueSuitAndCharValueFollowTheCardCode) {
    deal({12, 13, 38, 47, 0});
    EXPECT_EQ(hand.HandValue(0), 12);
    EXPECT_EQ(hand.HandSuit(0), 1);
    EXPECT_EQ(hand.HandValue(2), 12);
    EXPECT_EQ(hand.HandSuit(2), 3);
    EXPECT_EQ(hand.HandSuit(3), 4);
    EXPECT_EQ(clsHand::CharValue(12), "A");
    EXPECT_EQ(clsHand::CharValue(8), "x");
    EXPECT_EQ(clsHand::CharValue(-1), "");
}

TEST_F(HandTest, PositionsOutsideZeroToFourThrowBeforeAnyChange) {
    deal({1, 2, 3, 4, 5});
    for (std::int16_t bad : {-1, 5, 300}) {
        SCOPED_TRACE(bad);
        EXPECT_THROW(hand.PutCard(bad, 7), std::out_of_range);
        EXPECT_THROW(hand.DrawCard(bad), std::out_of_range);
        EXPECT_THROW(hand.CardHidden(bad), std::out_of_range);
        EXPECT_THROW(hand.Card(bad), std::out_of_range);
        EXPECT_THROW(hand.HandValue(bad), std::out_of_range);
    }
    EXPECT_TRUE(view.draws.empty());
    EXPECT_TRUE(sound.played.empty());
    for (std::int16_t p = 0; p < 5; ++p) EXPECT_EQ(hand.Card(p), p + 1);
}

}  // namespace
}  // namespace client
