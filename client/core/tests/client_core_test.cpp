// The client logic between the player and the server: lines and commands in;
// what it sends, shows and asks out. Then the seat hand's position check and
// the picture codes.
#include <gtest/gtest.h>

#include <stdexcept>

#include "client/core/picture_code.h"
#include "fakes.h"

namespace client::testing {
namespace {

// A deal as the player sees it: the exchange control, five blank slots, the
// cards one by one with their sound, then the hand's name.
const std::string kDeal = "STARTGAME\t8\t9\t10\t11\t12";
const std::string kDealt =
    "mode CardChanging; draw 0=101; draw 1=101; draw 2=101; draw 3=101; draw 4=101; draw 0=8; wav; "
    "draw 1=9; wav; draw 2=10; wav; draw 3=11; wav; draw 4=12; wav; status Royal Flush A    ";

TEST_F(ClientTest, ScriptsShowSendAndAskInOrder) {
    const std::string login = "prompt Enter username||", newGame = "prompt Game name|New Game|test game",
                      join = "prompt Game number|Join Game|1", deal = kDeal + "|", dealt = kDealt + "; ";
    const std::array<std::string, 3> rows[] = {
        {"login, cancelled the second time; the name is offered once it logged in",
         "$|?Bob|LOGIN|LOGIN|OK\tLOGIN|LOGIN",
         login + "; send LOGIN\tBob; " + login + "; keep userName=Bob; " + login + "Bob"},
        {"first test player", "$-test|LOGIN|OK\tLOGIN|OK\tNEWGAME 10",
         "send LOGIN\tTestPlayer1; send NEWGAME\tTestGame; copy -test2; table 10"},
        {"second test player", "$-test2|LOGIN|OK\tLOGIN|OK\tJOINGAME",
         "send LOGIN\tTestPlayer2; send JOINGAME\t1; send STARTGAME; table 1"},
        {"each JOINGAME answer settles the oldest one sent since a LOGIN; a new connection has no table",
         "$|?3|@JoinGame|?Al|LOGIN|?5|@JoinGame|?x|@JoinGame|?7|@JoinGame|OK\tLOGIN|OK\tJOINGAME|"
         "ERROR\tJOINGAME|OK\tJOINGAME|HELLO\tQ",
         join + "; send JOINGAME\t3; " + login + "; send LOGIN\tAl; " + join + "; send JOINGAME\t5; " + join +
             "; send JOINGAME\tx; " + join +
             "; send JOINGAME\t7; keep userName=Al; table 5; box ERROR: JOINGAME; table 7; table 0"},
        {"a switch in other case", "$-TEST|LOGIN", ""},
        {"a switch and a blank", "$-test |LOGIN", ""},
        {"menus send answers as typed",
         "$|?test game|@NewGame|?3|@JoinGame|@JoinGame|?x y|@NewGame|@StartGame",
         newGame + "; send NEWGAME\ttest game; " + join + "; send JOINGAME\t3; " + join + "; " + newGame +
             "; send NEWGAME\tx y; send STARTGAME"},
        {"chat trimmed, blank not sent", "$|@Chat    |@Chat   hi  |@Chat  two  words ",
         "send CHAT\thi; send CHAT\ttwo  words"},
        {"chat, boxes, the rest only traced",
         "$|CHAT\ta> hi|chat\tb>  Hi |WINNER\t3|ERROR\tBET|FOO\tbar baz\t|\tx|HELLO\tQ| ok \tX",
         "chat \r\na> hi; chat \r\nb>  Hi ; box WINNER is seat 3; box ERROR: BET; "
         "box UNKNOWN COMMAND: FOO bar baz ; box UNKNOWN COMMAND:  x"},
        {"malformed lines do nothing", "$|STARTGAME\t1\t2\t3\t4|SEAT\tx|SEAT_BANK\tlots|CHAT||WINNER\t1",
         "box WINNER is seat 1"},
        {"lines cut across chunks", "$|~SEAT\t|~2\r\nWINNER\t1\r\nWIN|~NER\t3\r|~\nWINNER\t4\n\r|~\r\n",
         "title Tessarin v0.924 - Seat 2; box WINNER is seat 1; box WINNER is seat 3; box WINNER is seat "
         "4\n\r"},
        {"every deal clears the marks and shows all five", "$|" + deal + "@Mark 2|" + kDeal, dealt + kDealt},
        {"Done sends the marked positions", "$|" + deal + "@Mark 4|@Mark 1|@Mark 0|@Mark 1|@Done",
         dealt + "send EXCHANGE\t0\t4; mode Idle"},
        {"Done with none marked", "$|" + deal + "@Done", dealt + "send EXCHANGE; mode Idle"},
        {"an exchange result shows and unmarks only the new cards",
         "$|" + deal + "@Mark 1|@Mark 3|@Mark 4|EXCHANGE\t8\t22\t10\t35\t12|@Done",
         dealt +
             "draw 1=22; wav; draw 3=35; wav; status Pair J A Q x ; mode Idle; send EXCHANGE\t4; mode Idle"},
        {"bets hide the controls first; other lines keep them",
         "$|BET|WINNER\t0|SEAT_ANTE\t0|CHAT\tx|SEAT\t1|@Pass|BET|@Call|BET|@Raise|BET|@Raise x",
         "mode Betting; attention; box WINNER is seat 0; chat \r\nx; title Tessarin v0.924 - Seat 1; "
         "mode Idle; send BET\t-1; mode Betting; attention; mode Idle; send BET\t0; mode Betting; attention; "
         "mode Idle; send BET\t; mode Betting; attention; mode Idle; send BET\tx"},
        {"Exit before any deal: EXIT is out before the window closes", "$|@Exit", "send EXIT; close"},
        {"Exit in a game: leaves at the next deal without showing it", "$|" + deal + "@Exit|" + deal + kDeal,
         dealt + "send EXIT; status Exiting after this round.; mode CardChanging; send EXIT; close; " +
             kDealt},
        {"closing in a game: leaves at the next deal, then no game runs",
         "$|" + deal + "@Close|" + deal + "@Exit",
         dealt + "mode CardChanging; send EXIT; close; send EXIT; close"},
        {"a dealt code that is no card: no hand name", "$|STARTGAME\t0\t13\t27\t41\t-3",
         "mode CardChanging; draw 0=101; draw 1=101; draw 2=101; draw 3=101; draw 4=101; draw 0=0; wav; "
         "draw 1=13; wav; draw 2=27; wav; draw 3=41; wav; draw 4=-3; wav"},
        {"BET while choosing cards", "$|" + deal + "BET", dealt + "mode Betting; attention"},
    };
    for (const auto& [what, script, log] : rows) {
        SCOPED_TRACE(what);
        run(script);
        EXPECT_EQ(take(), log);
    }
    EXPECT_EQ(protocol->mode(), ActionMode::Betting) << "what the server waits for";
}

TEST_F(ClientTest, TheTableReportFillsTheSeatListByTheNumericRules) {
    feed(
        "SEAT_NAME\tq\tq\tq\tq\tq\tq\r\nSEAT_ANTE\t0\t5\t0\t0\t0\t0\r\nSEAT_NAME\talice\tbob\t\r\n"
        "SEAT_STATE\t4\t6\t0\t9\t1\t-1\r\nSEAT_EXCHANGE\t-1\t0\t3\t-1\t-1\t-1\r\n"
        "SEAT_BANK\t995\t0\t 1000\t-7\t1000\t-0\r\n");
    using enum SeatColumn;
    std::string shown;
    for (SeatColumn column : {Bet, Name, State, Exchanged, Bank})
        for (int seat = 0; seat < 6; ++seat) shown += fake.cells[seat][int(column)] + (seat < 5 ? "," : "|");
    EXPECT_EQ(
        shown,
        ",5,,,,|alice,bob,,q,q,q|Card Changing,Making Bet,,UnknownState9,Waiting for Login,UnknownState-1|"
        ",0,3,,,|995,0, 1000,,1000,-0|");
    EXPECT_EQ(take(), "");
}

TEST_F(ClientTest, TheTraceShowsEveryChunkAndEverySentLineButNotAFailedOne) {
    feed("SEAT\t2\r\nWIN");
    protocol->mnuStartGame_Click();
    fake.up = false;
    protocol->mnuStartGame_Click();
    EXPECT_EQ(fake.trace, "SEAT 2\r\nWIN>STARTGAME\r\n") << "a failed send is not traced";
    EXPECT_EQ(take(), "title Tessarin v0.924 - Seat 2; send STARTGAME; status winsock_SendCmd error");
}

TEST_F(ClientTest, ALinePastTheBufferBoundIsDroppedWhole) {
    feed(std::string(wire::kMaxPendingBytes + 10, 'x'));
    EXPECT_LE(protocol->RecvBuffer.size(), wire::kMaxPendingBytes);
    feed(std::string(100, 'y') + "\r");
    feed("\nWINNER\t5\r\n");
    EXPECT_EQ(take(), "box WINNER is seat 5") << "the tail of the long line is no line of its own";
}

TEST_F(ClientTest, PositionsOutsideZeroToFourThrowBeforeAnyChange) {
    for (std::int16_t bad : {-1, 5, 300}) {
        EXPECT_THROW(hand.PutCard(bad, 7), std::out_of_range) << bad;
        EXPECT_THROW(hand.CardHidden(bad) = true, std::out_of_range) << bad;
        EXPECT_THROW(hand.HandValue(bad), std::out_of_range) << bad;
    }
    EXPECT_EQ(take(), "");
}

TEST(PictureCode, CardCodesJokersBackAndEmptyHaveHoldersOtherCodesNone) {
    std::string shown;
    for (int code : {0, 8, 9, 10, 11, 12, 13, 25, 34, 38, 50, 51, 52, 53, 100, 101, -1, 54, 99, 102, -32768})
        shown += holderName(static_cast<std::int16_t>(code)).value_or("-") + ",";
    EXPECT_EQ(shown, "C2,C10,CJ,CQ,CK,C1,D2,D1,H10,H1,SK,S1,JB,JR,back,,-,-,-,-,-,");
}

}  // namespace
}  // namespace client::testing
