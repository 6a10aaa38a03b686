// The client's reaction to each server line, fed straight to the handler.
#include <gtest/gtest.h>

#include "fakes.h"

namespace client::testing {
namespace {

using LineHandling = ProtocolTest;
using C = SeatColumn;

TEST_F(LineHandling, TableReportFillsTheSeatListByTheNumericRules) {
    feed("SEAT_ANTE\t0\t5\t0\t0\t0\t0\r\n"
         "SEAT_NAME\talice\tbob\t\t\t\t\r\n"
         "SEAT_STATE\t4\t6\t0\t9\t1\t-1\r\n"
         "SEAT_EXCHANGE\t-1\t0\t3\t-1\t-1\t-1\r\n"
         "SEAT_BANK\t995\t0\t1000\t-7\t1000\t1000\r\n");
    struct Row {
        int seat;
        const char *name, *state, *exchanged, *bank, *bet;
    };
    const Row rows[] = {
        {0, "alice", "Card Changing", "", "995", ""},
        {1, "bob", "Making Bet", "0", "0", "5"},
        {2, "", "", "3", "1000", ""},
        {3, "", "UnknownState9", "", "", ""},
        {4, "", "Waiting for Login", "", "1000", ""},
        {5, "", "UnknownState-1", "", "1000", ""},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.seat);
        EXPECT_EQ(cell(r.seat, C::Name), r.name);
        EXPECT_EQ(cell(r.seat, C::State), r.state);
        EXPECT_EQ(cell(r.seat, C::Exchanged), r.exchanged);
        EXPECT_EQ(cell(r.seat, C::Bank), r.bank);
        EXPECT_EQ(cell(r.seat, C::Bet), r.bet);
    }
    EXPECT_TRUE(dialogs.boxes.empty());
}

TEST_F(LineHandling, CellsShowTheFieldsOwnText) {
    line("SEAT_BANK\t 1000\t-0\t7");
    EXPECT_EQ(cell(0, C::Bank), " 1000");
    EXPECT_EQ(cell(1, C::Bank), "-0");
    EXPECT_EQ(cell(2, C::Bank), "7");
}

TEST_F(LineHandling, StateTexts) {
    const std::pair<std::int16_t, const char*> rows[] = {
        {0, ""}, {1, "Waiting for Login"}, {2, "Select Game"}, {3, "Waiting for Game Start"},
        {4, "Card Changing"}, {5, "Waiting for Bet"}, {6, "Making Bet"}, {7, "UnknownState7"},
        {-1, "UnknownState-1"}, {-32768, "UnknownState-32768"},
    };
    for (const auto& [state, text] : rows) EXPECT_EQ(ClientProtocol::ClientStateText(state), text) << state;
}

TEST_F(LineHandling, AShortSeatNameLineLeavesTheLaterRows) {
    line("SEAT_NAME\ta\tb\tc\td\te\tf");
    line("SEAT_NAME\tx\ty\tz");
    const char* expected[] = {"x", "y", "z", "d", "e", "f"};
    for (int seat = 0; seat < 6; ++seat) EXPECT_EQ(cell(seat, C::Name), expected[seat]);
}

TEST_F(LineHandling, SeatSetsTheSeatAndTheTitle) {
    line("SEAT\t2");
    EXPECT_EQ(protocol->MySeat, 2);
    EXPECT_EQ(view.title, "Tessarin v0.924 - Seat 2");
    line("SEAT\t0");
    EXPECT_EQ(view.title, "Tessarin v0.924 - Seat 0");
}

TEST_F(LineHandling, ChatLinesGoToTheChatLogEachAfterALineEnd) {
    line("CHAT\ta> hi");
    line("chat\tb>  Hello There ");
    EXPECT_EQ(view.chat, "\r\na> hi\r\nb>  Hello There ");
}

TEST_F(LineHandling, WinnerErrorAndUnknownLinesOpenMessageBoxes) {
    line("WINNER\t3");
    line("ERROR\tJOINGAME");
    line("FOO\tbar baz\t");
    line("\tx");
    EXPECT_EQ(dialogs.boxes, (Lines{"WINNER is seat 3", "ERROR: JOINGAME", "UNKNOWN COMMAND: FOO bar baz ",
                                    "UNKNOWN COMMAND:  x"}));
}

TEST_F(LineHandling, HelloAndOkInAnyCaseOnlyShowInTheTrace) {
    feed("HELLO\tQuorvane v0.924\r\n  ok \tLOGIN\r\nOk\tNEWGAME 1\r\n");
    EXPECT_TRUE(dialogs.boxes.empty());
    EXPECT_TRUE(link.writes.empty());
    EXPECT_EQ(view.trace, "HELLO Quorvane v0.924\r\n  ok  LOGIN\r\nOk NEWGAME 1\r\n");
}

TEST_F(LineHandling, MalformedLinesAreIgnoredWithoutHarm) {
    line("SEAT_NAME\ta\tb\tc\td\te\tf");
    line("SEAT_BANK\t1\t2\t3\t4\t5\t6");
    line("SEAT\t4");
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
        EXPECT_EQ(view.cells, cellsBefore);
        EXPECT_TRUE(dialogs.boxes.empty());
        EXPECT_TRUE(view.modes.empty());
        EXPECT_TRUE(view.draws.empty());
        EXPECT_TRUE(link.writes.empty());
        EXPECT_EQ(view.title, "Tessarin v0.924 - Seat 4");
        EXPECT_EQ(view.chat, "");
    }
    EXPECT_TRUE(protocol->RecvBuffer.empty());
    line("WINNER\t1");
    EXPECT_EQ(dialogs.boxes, Lines{"WINNER is seat 1"});
}

TEST_F(LineHandling, DealShowsFiveCardsOneByOneWithSoundAndNamesTheHand) {
    line("STARTGAME\t8\t9\t10\t11\t12");
    EXPECT_EQ(view.mode(), ActionMode::CardChanging);
    EXPECT_TRUE(protocol->Playing);
    using D = std::pair<std::int16_t, std::int16_t>;
    EXPECT_EQ(view.draws, (std::vector<D>{{0, 101}, {1, 101}, {2, 101}, {3, 101}, {4, 101},
                                          {0, 8}, {1, 9}, {2, 10}, {3, 11}, {4, 12}}));
    EXPECT_EQ(sound.plays, 5);
    EXPECT_EQ(view.status(), "Royal Flush A    ");
}

TEST_F(LineHandling, ANewDealClearsMarksAndRedrawsEvenTheSameCards) {
    line("STARTGAME\t1\t2\t3\t4\t5");
    hand.CardHidden(2) = true;
    view.draws.clear();
    sound.plays = 0;
    line("STARTGAME\t1\t2\t3\t4\t5");
    EXPECT_EQ(view.draws.size(), 10u);
    EXPECT_EQ(sound.plays, 5);
    EXPECT_FALSE(hand.CardHidden(2));
}

TEST_F(LineHandling, ExchangeResultRedrawsOnlyChangedSlotsAndGoesIdle) {
    line("STARTGAME\t0\t14\t28\t42\t51");
    hand.CardHidden(1) = true;
    hand.CardHidden(3) = true;
    view.draws.clear();
    sound.plays = 0;
    line("EXCHANGE\t0\t13\t28\t39\t51");
    using D = std::pair<std::int16_t, std::int16_t>;
    EXPECT_EQ(view.draws, (std::vector<D>{{1, 13}, {3, 39}}));
    EXPECT_EQ(sound.plays, 2);
    EXPECT_FALSE(hand.CardHidden(1));
    EXPECT_FALSE(hand.CardHidden(3));
    EXPECT_EQ(view.mode(), ActionMode::Idle);
    EXPECT_EQ(view.status(), "Three of a Kind 2 A 4  ");
}

TEST_F(LineHandling, OnlyStartgameBetAndExchangeChangeTheActionMode) {
    line("STARTGAME\t1\t2\t3\t4\t5");
    EXPECT_EQ(view.mode(), ActionMode::CardChanging);
    line("BET");
    EXPECT_EQ(view.mode(), ActionMode::Betting);
    EXPECT_EQ(view.attentions, 1);
    const auto count = view.modes.size();
    feed("WINNER\t0\r\nSEAT_ANTE\t0\t0\t0\t0\t0\t0\r\nCHAT\tx> y\r\nSEAT\t1\r\nOK\tLOGIN\r\n");
    EXPECT_EQ(view.modes.size(), count);
    line("EXCHANGE\t1\t2\t3\t4\t5");
    EXPECT_EQ(view.mode(), ActionMode::Idle);
}

TEST_F(LineHandling, LinesAreHandledInOrderWhateverTheChunks) {
    feed("WINNER\t1\r\nWINNER\t2\r\nWIN");
    EXPECT_EQ(dialogs.boxes, (Lines{"WINNER is seat 1", "WINNER is seat 2"}));
    feed("NER\t3\r");
    EXPECT_EQ(dialogs.boxes.size(), 2u);
    feed("\nWINNER\t4\n\r");
    EXPECT_EQ(dialogs.boxes.size(), 3u) << "a lone LF or an LF followed by a CR ends no line";
    feed("\r\n");
    EXPECT_EQ(dialogs.boxes, (Lines{"WINNER is seat 1", "WINNER is seat 2", "WINNER is seat 3",
                                    "WINNER is seat 4\n\r"}));
    EXPECT_TRUE(protocol->RecvBuffer.empty());
}

TEST_F(LineHandling, EveryChunkIsTracedAsReceivedWithTabsAsSpaces) {
    feed("SEAT_BANK\t1\t2");
    feed("\t3\r\n");
    EXPECT_EQ(view.trace, "SEAT_BANK 1 2 3\r\n");
    EXPECT_EQ(cell(2, C::Bank), "3");
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
