// The client logic between the player and the server: lines and commands in;
// what it sends, shows and asks out. Then the picture codes.
#include <gtest/gtest.h>

#include <optional>
#include <stdexcept>

#include "client/core/client_protocol.h"
#include "client/core/hand.h"
#include "client/core/picture_code.h"
#include "fakes.h"

namespace client::testing {
namespace {

// A deal as the player sees it: the exchange control, five blank slots, the
// cards one by one with their sound, then the hand's name.
const std::string kDeal = "STARTGAME\t8\t9\t10\t11\t12|";
const std::string kDealt =
    "mode CardChanging; draw 0=101; draw 1=101; draw 2=101; draw 3=101; draw 4=101; draw 0=8; cardd; "
    "draw 1=9; cardd; draw 2=10; cardd; draw 3=11; cardd; draw 4=12; cardd; status Royal Flush A    ; ";

// Runs a script of steps joined by "|": "$args" starts afresh with that command line, "@Command argument"
// is the player's, "?text" the answer to the next prompt, "~bytes" a raw chunk from the server, anything
// else a line from it.
class ClientTest : public ::testing::Test {
protected:
    void run(const std::string& script) {
        for (std::size_t at = 0, end = 0; at <= script.size(); at = end + 1) {
            end = std::min(script.find('|', at), script.size());
            step(script.substr(at, end - at));
        }
    }
    void step(const std::string& s) {
        const std::string verb = s.substr(0, s.find(' ')),
                          arg = s.substr(std::min(s.size(), verb.size() + 1));
        if (s.starts_with('$'))
            return void(protocol.emplace(fake, hand, fake, fake, fake, s.substr(1), &fake));
        if (s.starts_with('?')) return void(fake.answer = s.substr(1));
        if (s.starts_with('~')) return protocol->dataArrival(s.substr(1));
        if (!s.starts_with('@')) return protocol->dataArrival(s + "\r\n");
        if (verb == "@Raise") return protocol->cmdRaise_Click(arg);
        if (verb == "@Chat") return protocol->txtChat_Enter(arg);
        if (verb == "@Mark") return void(hand.CardHidden(std::stoi(arg)) ^= true);
        using P = ClientProtocol;
        static const std::map<std::string, void (P::*)()> commands = {
            {"@Done", &P::cmdDone_Click},         {"@Pass", &P::cmdPass_Click},
            {"@Call", &P::cmdCall_Click},         {"@NewGame", &P::mnuNewGame_Click},
            {"@JoinGame", &P::mnuJoinGame_Click}, {"@StartGame", &P::mnuStartGame_Click},
            {"@Exit", &P::mnuExit_Click},         {"@Close", &P::Form_Unload}};
        (*protocol.*commands.at(verb))();
    }

    FakeClient fake;
    clsHand hand{fake, fake};
    std::optional<ClientProtocol> protocol;
};

TEST_F(ClientTest, ScriptsShowSendAndAskInOrder) {
    const std::string login = "prompt Enter username||", join = "prompt Game number|Join Game|1",
                      newGame = "prompt Game name|New Game|test game",
                      big = std::string(wire::kMaxPendingBytes + 10, 'x');
    const std::array<std::string, 3> rows[] = {
        {"login cancelled the second time; the name offered once it logged in; menus send what is typed",
         "$|?Bob|LOGIN|LOGIN|OK\tLOGIN|LOGIN|?test game|@NewGame|@JoinGame|@NewGame|@StartGame",
         login + "; send LOGIN\tBob; " + login + "; keep userName=Bob; " + login + "Bob; " + newGame +
             "; send NEWGAME\ttest game; " + join + "; " + newGame + "; send STARTGAME; "},
        {"test players, never remembered; any other command line logs in as nobody",
         "$-test|LOGIN|OK\tLOGIN|OK\tNEWGAME 10|$-test2|LOGIN|OK\tLOGIN|OK\tJOINGAME|$-TEST|LOGIN|$-test "
         "|LOGIN",
         "send LOGIN\tTestPlayer1; send NEWGAME\tTestGame; copy -test2; table 10; send LOGIN\tTestPlayer2; "
         "send JOINGAME\t1; send STARTGAME; table 1; "},
        {"each JOINGAME answer settles the oldest sent since a LOGIN; a new connection has none",
         "$|?3|@JoinGame|?Al|LOGIN|?5|@JoinGame|?x|@JoinGame|?7|@JoinGame|OK\tLOGIN|OK\tJOINGAME|"
         "ERROR\tJOINGAME|OK\tJOINGAME|HELLO\tQ|?9|@JoinGame|OK\tJOINGAME",
         join + "; send JOINGAME\t3; " + login + "Bob; send LOGIN\tAl; " + join + "; send JOINGAME\t5; " +
             join + "; send JOINGAME\tx; " + join +
             "; send JOINGAME\t7; keep userName=Al; table 5; box ERROR: JOINGAME; "
             "table 7; table 0; " +
             join + "; send JOINGAME\t9; "},
        {"chat trimmed, blank not sent; boxes; malformed and other lines only traced",
         "$|@Chat    |@Chat   hi  |@Chat  two  words |CHAT\ta> hi|chat\tb>  Hi "
         "|STARTGAME\t1\t2\t3\t4|SEAT\tx|"
         "SEAT_BANK\tlots|CHAT||WINNER\t3|ERROR\tBET|FOO\tbar baz\t|\tx|HELLO\tQ| ok \tX",
         "send CHAT\thi; send CHAT\ttwo  words; chat \r\na> hi; chat \r\nb>  Hi ; box WINNER is seat 3; "
         "box ERROR: BET; box UNKNOWN COMMAND: FOO bar baz ; box UNKNOWN COMMAND:  x; "},
        {"lines cut across chunks; one past the buffer bound dropped whole, its CR LF split or not",
         "$|~SEAT\t2\r\nWIN|~NER\t3\r|~\n|~" + big + "\r|~\nWINNER\t4\r\n|~" + big + "|~y\r|~\nWINNER\t5\r\n",
         "title Tessarin v0.924 - Seat 2; box WINNER is seat 3; box WINNER is seat 4; box WINNER is seat "
         "5; "},
        {"Done sends the marked positions; an exchange result shows and unmarks only the new cards",
         "$|" + kDeal + "@Mark 4|@Mark 1|@Mark 0|@Mark 1|@Done|@Mark 3|EXCHANGE\t20\t9\t10\t35\t12|@Done|" +
             kDeal + "@Done",
         kDealt +
             "send EXCHANGE\t0\t4; mode Idle; draw 0=20; cardd; draw 3=35; cardd; status Pair J A Q 9 ; mode "
             "Idle; "
             "send EXCHANGE\t4; mode Idle; " +
             kDealt + "send EXCHANGE; mode Idle; "},
        {"bets hide the controls first", "$|BET|@Pass|BET|@Call|BET|@Raise 7",
         "mode Betting; attention; mode Idle; send BET\t-1; mode Betting; attention; mode Idle; send BET\t0; "
         "mode Betting; attention; mode Idle; send BET\t7; "},
        {"Exit before any deal leaves at once; closed in a game, at the next deal, then no game runs",
         "$|@Exit|$|" + kDeal + "@Close|" + kDeal + "@Exit",
         "send EXIT; close; " + kDealt + "mode CardChanging; send EXIT; close; send EXIT; close; "},
        {"Exit in a game leaves at the next deal without showing it", "$|" + kDeal + "@Exit|" + kDeal + kDeal,
         kDealt + "send EXIT; status Exiting after this round.; mode CardChanging; send EXIT; close; " +
             kDealt},
        {"a dealt code that is no card: no hand name; BET while choosing cards",
         "$|STARTGAME\t0\t13\t27\t41\t-3|BET",
         "mode CardChanging; draw 0=101; draw 1=101; draw 2=101; draw 3=101; draw 4=101; draw 0=0; cardd; "
         "draw 1=13; cardd; draw 2=27; cardd; draw 3=41; cardd; draw 4=-3; cardd; mode Betting; attention; "},
    };
    for (const auto& [what, script, log] : rows) {
        SCOPED_TRACE(what);
        run(script);
        EXPECT_EQ(fake.take(), log);
    }
    EXPECT_EQ(protocol->mode(), ActionMode::Betting) << "what the server waits for";
    for (const char* outside : {"@Mark -1", "@Mark 5"}) EXPECT_THROW(run(outside), std::out_of_range);
}

TEST(PictureCode, CardCodesJokersBackAndEmptyHaveHoldersOtherCodesNone) {
    std::string shown;
    for (int code : {0, 8, 9, 10, 11, 12, 13, 25, 34, 38, 50, 51, 52, 53, 100, 101, -1, 54, 99, 102, -32768})
        shown += holderName(static_cast<std::int16_t>(code)).value_or("-") + ",";
    EXPECT_EQ(shown, "C2,C10,CJ,CQ,CK,C1,D2,D1,H10,H1,SK,S1,JB,JR,back,,-,-,-,-,-,");
}

}  // namespace
}  // namespace client::testing
