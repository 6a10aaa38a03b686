// The seat hand through recording stand-ins. How a deal and an exchange
// result reach the slots is tested with the server lines, in the protocol.
#include "client/core/hand.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "client/core/picture_code.h"
#include "fakes.h"

namespace client {
namespace {

class HandTest : public ::testing::Test {
protected:
    void deal(std::initializer_list<std::int16_t> codes) {
        hand.ClearHand();
        std::int16_t p = 0;
        for (auto c : codes) hand.PutCard(p++, c);
        view = {};
        sound.played.clear();
    }

    testing::RecordingView view;
    testing::CountingSound sound;
    clsHand hand{view, sound};
};

TEST_F(HandTest, CheckHandNamesFiveDealtCardsAndNothingWhileASlotIsEmpty) {
    deal({0, 13, 27, 41, 51});
    hand.Check_Hand();
    hand.PutCard(4, kPictureEmpty);
    hand.Check_Hand();
    hand.Card(4) = -3;
    hand.Check_Hand();
    EXPECT_EQ(view.statuses, std::vector<std::string>{"Pair 2 A 4 3 "});
}

TEST_F(HandTest, PositionsOutsideZeroToFourThrowBeforeAnyChange) {
    deal({1, 2, 3, 4, 5});
    for (std::int16_t bad : {-1, 5, 300}) {
        SCOPED_TRACE(bad);
        EXPECT_THROW(hand.PutCard(bad, 7), std::out_of_range);
        EXPECT_THROW(hand.CardHidden(bad) = true, std::out_of_range);
        EXPECT_THROW(hand.HandValue(bad), std::out_of_range);
    }
    EXPECT_TRUE(view.draws.empty());
    EXPECT_TRUE(sound.played.empty());
    for (std::int16_t p = 0; p < 5; ++p) EXPECT_EQ(hand.Card(p), p + 1);
    hand.PutCard(0, 40);
    EXPECT_EQ(sound.played, std::vector<std::string>{"cardd"});
}

}  // namespace
}  // namespace client
