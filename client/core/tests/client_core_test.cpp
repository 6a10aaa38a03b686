// The client logic: lines and commands in; what it sends, shows and asks out. Then the picture codes.
#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <ranges>
#include <stdexcept>

#include "client/core/client_protocol.h"
#include "client/core/hand.h"
#include "client/core/picture_code.h"
#include "fakes.h"

namespace client::testing {
namespace {

TEST(ClientLogic, ScriptsShowSendAndAskInOrder) {
    FakeClient fake;
    clsHand hand{fake, fake};
    std::optional<ClientProtocol> logic;
    using P = ClientProtocol;
    const std::map<std::string, void (P::*)()> commands = {
        {"@Done", &P::cmdDone_Click},         {"@Pass", &P::cmdPass_Click},
        {"@Call", &P::cmdCall_Click},         {"@NewGame", &P::mnuNewGame_Click},
        {"@JoinGame", &P::mnuJoinGame_Click}, {"@StartGame", &P::mnuStartGame_Click},
        {"@Exit", &P::mnuExit_Click},         {"@Close", &P::Form_Unload}};
    // Steps: "$args" starts afresh with that command line, "@Command argument" is the player's, "?text"
    // answers the next prompt, "~bytes" is a raw chunk from the server, anything else a line from it.
    auto step = [&](const std::string& s) {
        const std::string cmd = s.substr(0, s.find(' ')), arg = s.substr(std::min(s.size(), cmd.size() + 1));
        if (s.starts_with('$')) return void(logic.emplace(fake, hand, fake, fake, fake, s.substr(1), &fake));
        if (s.starts_with('?')) return void(fake.answer = s.substr(1));
        if (s.starts_with('~')) return logic->dataArrival(s.substr(1));
        if (!s.starts_with('@')) return logic->dataArrival(s + "\r\n");
        if (cmd == "@Raise") return logic->cmdRaise_Click(arg);
        if (cmd == "@Chat") return logic->txtChat_Enter(arg);
        if (cmd == "@Mark") return void(hand.CardHidden(std::stoi(arg)) ^= true);
        (*logic.*commands.at(cmd))();
    };
    // A deal as the player sees it: exchange control, blank slots, each card and its sound, the hand's name.
    const std::string deal = "STARTGAME\t8\t9\t10\t11\t12|", fresh = "$|" + deal,
                      big = std::string(wire::kMaxPendingBytes + 10, 'x'),
                      dealt =
                          "mode CardChanging; draw 0=101; draw 1=101; draw 2=101; draw 3=101; draw 4=101; "
                          "draw 0=8; cardd; draw 1=9; cardd; draw 2=10; cardd; draw 3=11; cardd; draw 4=12; "
                          "cardd; status Royal Flush A    ; ";
    const std::array<std::string, 3> rows[] = {
        {"login cancelled the second time, the name offered once it logged in; menus send what is typed",
         "$|?Bob|LOGIN|LOGIN|OK\tLOGIN|LOGIN|?test game|@NewGame|@JoinGame|@NewGame|@StartGame|$|@Exit",
         "prompt Enter username||; send LOGIN\tBob; prompt Enter username||; keep userName=Bob; "
         "prompt Enter username||Bob; prompt Game name|New Game|test game; send NEWGAME\ttest game; "
         "prompt Game number|Join Game|1; prompt Game name|New Game|test game; send STARTGAME; send EXIT; "
         "close; "},
        {"test players, never remembered; any other command line logs in as nobody",
         "$-test|LOGIN|OK\tLOGIN|OK\tNEWGAME 10|$-test2|LOGIN|OK\tJOINGAME|$-TEST|LOGIN|$-test |LOGIN",
         "send LOGIN\tTestPlayer1; send NEWGAME\tTestGame; copy -test2; table 10; send LOGIN\tTestPlayer2; "
         "send JOINGAME\t1; send STARTGAME; table 1; "},
        {"each JOINGAME answer settles the oldest sent since a LOGIN; a new connection has none",
         "$|?3|@JoinGame|?Al|LOGIN|?5|@JoinGame|?x|@JoinGame|?7|@JoinGame|OK\tLOGIN|OK\tJOINGAME|"
         "ERROR\tJOINGAME|OK\tJOINGAME|HELLO\tQ|?9|@JoinGame|OK\tJOINGAME",
         "prompt Game number|Join Game|1; send JOINGAME\t3; prompt Enter username||Bob; send LOGIN\tAl; "
         "prompt Game number|Join Game|1; send JOINGAME\t5; prompt Game number|Join Game|1; "
         "send JOINGAME\tx; prompt Game number|Join Game|1; send JOINGAME\t7; keep userName=Al; table 5; "
         "box ERROR: JOINGAME; table 7; table 0; prompt Game number|Join Game|1; send JOINGAME\t9; "},
        {"chat trimmed, blank not sent; boxes; malformed and other lines only traced",
         "$|@Chat    |@Chat   hi  |@Chat  two  words |CHAT\ta> hi|chat\tb>  Hi |STARTGAME\t1\t2\t3\t4|"
         "SEAT\tx|SEAT_BANK\tlots|CHAT||WINNER\t3|ERROR\tBET|FOO\tbar baz\t|\tx|HELLO\tQ| ok \tX",
         "send CHAT\thi; send CHAT\ttwo  words; chat \r\na> hi; chat \r\nb>  Hi ; box WINNER is seat 3; "
         "box ERROR: BET; box UNKNOWN COMMAND: FOO bar baz ; box UNKNOWN COMMAND:  x; "},
        {"a line past the buffer bound is dropped whole, its CR LF split or not",
         "$|SEAT\t2|~" + big + "\r|~\nWINNER\t4\r\n|~" + big + "|~y\r|~\nWINNER\t5\r\n",
         "title Tessarin v0.924 - Seat 2; box WINNER is seat 4; box WINNER is seat 5; "},
        {"Done sends the marked positions; an exchange result shows and unmarks only the new cards",
         fresh + "@Mark 4|@Mark 1|@Mark 0|@Mark 1|@Done|@Mark 3|EXCHANGE\t20\t9\t10\t35\t12|@Done",
         dealt + "send EXCHANGE\t0\t4; mode Idle; draw 0=20; cardd; draw 3=35; cardd; status Pair J A Q 9 ; "
                 "mode Idle; send EXCHANGE\t4; mode Idle; "},
        {"Exit in a game: leaves at the next deal without showing it; Done with none marked; the window "
         "closed in a game: leaves at the next deal, then no game runs",
         fresh + "@Exit|" + deal + deal + fresh + "@Done|@Close|" + deal + "@Exit",
         dealt + "send EXIT; status Exiting after this round.; mode CardChanging; send EXIT; close; " +
             dealt + dealt +
             "send EXCHANGE; mode Idle; mode CardChanging; send EXIT; close; send EXIT; close; "},
        {"a code that is no card: no hand name; bets, even while choosing cards, hide the controls first",
         "$|STARTGAME\t0\t13\t27\t41\t-3|BET|@Pass|BET|@Call|BET|@Raise 7|BET",
         "mode CardChanging; draw 0=101; draw 1=101; draw 2=101; draw 3=101; draw 4=101; draw 0=0; cardd; "
         "draw 1=13; cardd; draw 2=27; cardd; draw 3=41; cardd; draw 4=-3; cardd; mode Betting; attention; "
         "mode Idle; send BET\t-1; mode Betting; attention; mode Idle; send BET\t0; mode Betting; attention; "
         "mode Idle; send BET\t7; mode Betting; attention; "},
    };
    for (const auto& [what, script, log] : rows) {
        SCOPED_TRACE(what);
        for (const auto s : std::views::split(script, '|')) step(std::string(s.begin(), s.end()));
        EXPECT_EQ(fake.take(), log);
    }
    EXPECT_EQ(logic->mode(), ActionMode::Betting) << "what the server waits for";
    for (const char* outside : {"@Mark -1", "@Mark 5"}) EXPECT_THROW(step(outside), std::out_of_range);
}

TEST(PictureCode, CardCodesJokersBackAndEmptyHaveHoldersOtherCodesNone) {
    std::string shown;
    for (int code : {0, 8, 9, 10, 11, 12, 13, 25, 34, 38, 50, 51, 52, 53, 100, 101, -1, 54, 99, 102, -32768})
        shown += holderName(static_cast<std::int16_t>(code)).value_or("-") + ",";
    EXPECT_EQ(shown, "C2,C10,CJ,CQ,CK,C1,D2,D1,H10,H1,SK,S1,JB,JR,back,,-,-,-,-,-,");
}

}  // namespace
}  // namespace client::testing
