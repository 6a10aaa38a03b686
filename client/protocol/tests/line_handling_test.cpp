// The client's reaction to each server line, fed straight to the handler.
#include <gtest/gtest.h>

#include "fakes.h"

namespace client::testing {
namespace {

using LineHandling = ProtocolTest;
using C = SeatColumn;
using Draws = std::vector<std::pair<std::int16_t, std::int16_t>>;

TEST_F(LineHandling, TableReportFillsTheSeatListByTheNumericRules) {
    feed(
        "SEAT_ANTE\t0\t5\t0\t0\t0\t0\r\n"
        "SEAT_NAME\talice\tbob\t\t\t\t\r\n"
        "SEAT_STATE\t4\t6\t0\t9\t1\t-1\r\n"
        "SEAT_EXCHANGE\t-1\t0\t3\t-1\t-1\t-1\r\n"
        "SEAT_BANK\t995\t0\t 1000\t-7\t1000\t-0\r\n");
    const std::pair<C, std::array<std::string, 6>> expected[] = {
        {C::Bet, {"", "5", "", "", "", ""}},
        {C::Name, {"alice", "bob", "", "", "", ""}},
        {C::State,
         {"Card Changing", "Making Bet", "", "UnknownState9", "Waiting for Login", "UnknownState-1"}},
        {C::Exchanged, {"", "0", "3", "", "", ""}},
        {C::Bank, {"995", "0", " 1000", "", "1000", "-0"}},
    };
    for (const auto& [column, cells] : expected)
        for (int seat = 0; seat < 6; ++seat) EXPECT_EQ(cell(seat, column), cells[seat]) << "seat " << seat;
    EXPECT_TRUE(dialogs.boxes.empty());
}

TEST_F(LineHandling, AShortSeatNameLineLeavesTheLaterRowsAndSeatSetsTheTitle) {
    line("SEAT_NAME\ta\tb\tc\td\te\tf");
    line("SEAT_NAME\tx\ty\tz");
    const char* expected[] = {"x", "y", "z", "d", "e", "f"};
    for (int seat = 0; seat < 6; ++seat) EXPECT_EQ(cell(seat, C::Name), expected[seat]);
    line("SEAT\t2");
    EXPECT_EQ(protocol->MySeat, 2);
    EXPECT_EQ(view.title, "Tessarin v0.924 - Seat 2");
}

TEST_F(LineHandling, ChatGoesToTheLogOthersToBoxesOrOnlyToTheTrace) {
    feed(
        "CHAT\ta> hi\r\nchat\tb>  Hello There \r\nWINNER\t3\r\nERROR\tJOINGAME\r\nFOO\tbar baz\t\r\n\tx\r\n"
        "HELLO\tQuorvane v0.924\r\n  ok \tLOGIN\r\n");
    EXPECT_EQ(view.chat, "\r\na> hi\r\nb>  Hello There ");
    EXPECT_EQ(dialogs.boxes, (Lines{"WINNER is seat 3", "ERROR: JOINGAME", "UNKNOWN COMMAND: FOO bar baz ",
                                    "UNKNOWN COMMAND:  x"}));
    EXPECT_TRUE(link.writes.empty());
}

TEST_F(LineHandling, MalformedLinesAreIgnoredWithoutHarm) {
    feed("SEAT_NAME\ta\tb\tc\td\te\tf\r\nSEAT_BANK\t1\t2\t3\t4\t5\t6\r\nSEAT\t4\r\n");
    const auto cellsBefore = view.cells;
    const char* bad[] = {
        "STARTGAME\t1\t2\t3\t4",
        "STARTGAME\t1\t2\tx\t4\t5",
        "STARTGAME\t1\t2\t3\t4\t40000",
        "EXCHANGE",
        "EXCHANGE\t\t\t\t\t",
        "SEAT_NAME\tq\tq\tq\tq\tq\tq\tq",
        "SEAT_BANK\t9\t9\t9\t9\t9\t9\t9",
        "SEAT_ANTE\t5\tfive",
        "SEAT_BANK\t5\t99999999999",
        "SEAT_STATE\t1\t70000",
        "SEAT_EXCHANGE\t1.5",
        "SEAT",
        "SEAT\tx",
        "SEAT\t40000",
        "WINNER",
        "CHAT",
        "",
    };
    for (const char* text : bad) {
        SCOPED_TRACE(text);
        line(text);
        EXPECT_TRUE(view.cells == cellsBefore && view.title == "Tessarin v0.924 - Seat 4" &&
                    view.chat.empty());
        EXPECT_TRUE(dialogs.boxes.empty() && view.modes.empty() && view.draws.empty() && link.writes.empty());
    }
    EXPECT_TRUE(protocol->RecvBuffer.empty());
    line("WINNER\t1");
    EXPECT_EQ(dialogs.boxes, Lines{"WINNER is seat 1"});
}

TEST_F(LineHandling, EachDealClearsTheMarksAndShowsFiveCardsWithSoundAndTheHandName) {
    line("STARTGAME\t8\t9\t10\t11\t12");
    EXPECT_EQ(view.mode(), ActionMode::CardChanging);
    EXPECT_TRUE(protocol->Playing);
    EXPECT_EQ(
        view.draws,
        (Draws{{0, 101}, {1, 101}, {2, 101}, {3, 101}, {4, 101}, {0, 8}, {1, 9}, {2, 10}, {3, 11}, {4, 12}}));
    EXPECT_EQ(sound.plays, 5);
    EXPECT_EQ(view.status(), "Royal Flush A    ");

    hand.CardHidden(2) = true;
    view.draws.clear();
    line("STARTGAME\t8\t9\t10\t11\t12");
    EXPECT_EQ(view.draws.size(), 10u) << "even the same cards are dealt again";
    EXPECT_EQ(sound.plays, 10);
    EXPECT_FALSE(hand.CardHidden(2));
}

TEST_F(LineHandling, ExchangeResultRedrawsOnlyChangedSlotsAndGoesIdle) {
    line("STARTGAME\t0\t14\t28\t42\t51");
    hand.CardHidden(1) = hand.CardHidden(3) = hand.CardHidden(4) = true;  // the server kept card 4
    view.draws.clear();
    sound.plays = 0;
    line("EXCHANGE\t0\t13\t28\t39\t51");
    EXPECT_EQ(view.draws, (Draws{{1, 13}, {3, 39}}));
    EXPECT_EQ(sound.plays, 2);
    EXPECT_FALSE(hand.CardHidden(1) || hand.CardHidden(3));
    EXPECT_TRUE(hand.CardHidden(4));
    EXPECT_EQ(view.mode(), ActionMode::Idle);
    EXPECT_EQ(view.status(), "Three of a Kind 2 A 4  ");
}

TEST_F(LineHandling, LinesSplitAcrossChunksAreHandledInOrderAndEveryChunkIsTraced) {
    feed("SEAT_BANK\t1\t2");
    feed("\t3\r\n");
    EXPECT_EQ(view.trace, "SEAT_BANK 1 2 3\r\n") << "TABs shown as spaces";
    EXPECT_EQ(cell(2, C::Bank), "3");

    feed("WINNER\t1\r\nWINNER\t2\r\nWIN");
    feed("NER\t3\r");
    EXPECT_EQ(dialogs.boxes, (Lines{"WINNER is seat 1", "WINNER is seat 2"}));
    feed("\nWINNER\t4\n\r");
    EXPECT_EQ(dialogs.boxes.size(), 3u) << "a lone LF or an LF followed by a CR ends no line";
    feed("\r\n");
    EXPECT_EQ(dialogs.boxes.back(), "WINNER is seat 4\n\r");
    EXPECT_TRUE(protocol->RecvBuffer.empty());
}

TEST_F(LineHandling, ALinePastTheBufferBoundIsDroppedWhole) {
    feed(std::string(wire::kMaxPendingBytes + 10, 'x'));
    EXPECT_LE(protocol->RecvBuffer.size(), wire::kMaxPendingBytes);
    feed(std::string(100, 'y') + "\r");
    feed("\nWINNER\t5\r\n");
    EXPECT_EQ(dialogs.boxes, Lines{"WINNER is seat 5"}) << "the tail of the long line is no line of its own";
    EXPECT_TRUE(protocol->RecvBuffer.empty());
}

}  // namespace
}  // namespace client::testing
