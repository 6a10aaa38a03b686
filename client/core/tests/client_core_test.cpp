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
        {"@Exit", &P::mnuExit_Click},         {"@Close", &P::Form_Unload},
        {"@Lost", &P::connectionClosed}};
    // Steps: "$args" starts afresh with that command line, "@Command argument" is the player's, "?text"
    // answers the next prompt, "#n" picks from the next list, "%" logs what to call, "!" forgets the log, "^"
    // turns the view's outcome on or off, "~bytes" is a raw chunk from the server, "&line" arrives while the
    // next sound plays, anything else a line from it.
    auto step = [&](const std::string& s) {
        const std::string cmd = s.substr(0, s.find(' ')), arg = s.substr(std::min(s.size(), cmd.size() + 1));
        if (s.starts_with('$')) return void(logic.emplace(fake, hand, fake, fake, fake, s.substr(1), &fake));
        if (s.starts_with('?')) return void(fake.answer = s.substr(1));
        if (s.starts_with('#')) return void(fake.choice = std::stoi(s.substr(1)));
        if (s == "%") return fake.put("owe " + std::to_string(logic->toCall()));
        if (s == "!") return void(fake.take());
        if (s == "^") return void(fake.outcomes ^= true);
        if (s.starts_with('~')) return logic->dataArrival(s.substr(1));
        if (s.starts_with('&'))
            return void(fake.whileOpen = [&, line = s.substr(1) + "\r\n", fed = false](auto&&) mutable {
                if (!std::exchange(fed, true)) logic->dataArrival(line);
            });
        if (!s.starts_with('@')) return logic->dataArrival(s + "\r\n");
        if (cmd == "@Raise") return logic->cmdRaise_Click(arg);
        if (cmd == "@Chat") return logic->txtChat_Enter(arg);
        if (cmd == "@Mark") return hand.CardHidden(std::stoi(arg)) ^= true, hand.DrawCard(std::stoi(arg));
        (*logic.*commands.at(cmd))();
    };
    // A deal as the player sees it: exchange control, blank slots, each card and its sound, the hand's name.
    // A player seated at seat 1 of ann, bob and carl, with the extension (ext) or without.
    const std::string
        deal = "STARTGAME\t8\t9\t10\t11\t12|",
        fresh = "$|" + deal, big = std::string(wire::kMaxPendingBytes + 10, 'x'),
        mode = "mode CardChanging; ",
        drawn =
            "draw 0=101; draw 1=101; draw 2=101; draw 3=101; draw 4=101; draw 0=8; cardd; "
            "draw 1=9; cardd; draw 2=10; cardd; draw 3=11; cardd; draw 4=12; cardd; "
            "status Royal Flush A    ; ",
        dealt = mode + drawn, ask = "prompt Game number|Join Game|1; ",
        seated = "$|?ann|LOGIN|OK\tLOGIN|SEAT\t1|SEAT_NAME\tann\tbob\tcarl|",
        ext = seated + "FEATURES\tturn\tshowdown\tgames\treasons|SEAT_STATE\t5\t4\t5|!|" + deal,
        agreed = "send FEATURES\tturn\tshowdown\tgames\treasons; ",
        cleared =
            "S 0=; S 1=; S 2=; S 3=; S 4=; S 5=; mode Idle; draw 0=101; draw 1=101; draw 2=101; "
            "draw 3=101; draw 4=101; status ; outcome ; ";
    const std::array<std::string, 3> rows[] = {
        {"login cancelled the second time, the name offered once it logged in; menus send what is typed",
         "$|?Bob|LOGIN|LOGIN|OK\tLOGIN|LOGIN|?test game|@NewGame|@JoinGame|@NewGame|@StartGame|$|@Exit",
         "prompt Enter username||; send LOGIN\tBob; prompt Enter username||; keep userName=Bob; " + agreed +
             "prompt Enter username||Bob; prompt Game name|New Game|test game; send NEWGAME\ttest game; " +
             ask + "prompt Game name|New Game|test game; send STARTGAME; send EXIT; close; "},
        {"test players, never remembered; any other command line logs in as nobody",
         "$-test|LOGIN|OK\tLOGIN|OK\tNEWGAME 10|$-test2|LOGIN|OK\tLOGIN|OK\tJOINGAME|FEATURES\tgames|"
         "GAME\t1\tTestGame\t2\t1|GAMES_END|$-TEST|LOGIN|$-test |LOGIN",
         "send LOGIN\tTestPlayer1; send NEWGAME\tTestGame; copy -test2; " + agreed +
             "table 10; game TestGame; send LOGIN\tTestPlayer2; send JOINGAME\t1; send STARTGAME; " + agreed +
             "table 1; send GAMES; game TestGame; "},
        {"each JOINGAME answer settles the oldest since a LOGIN; a new connection has none, clears the table",
         "$|?3|@JoinGame|?Al|LOGIN|?5|@JoinGame|?7|@JoinGame|?8|@JoinGame|ERROR\tJOINGAME|OK\tJOINGAME|"
         "@Lost|HELLO\tQ|?9|@JoinGame|OK\tJOINGAME",
         ask + "send JOINGAME\t3; prompt Enter username||Bob; send LOGIN\tAl; " + ask + "send JOINGAME\t5; " +
             ask + "send JOINGAME\t7; " + ask + "send JOINGAME\t8; box ERROR: JOINGAME; table 7; table 0; " +
             cleared + "title Tessarin v0.924; " + ask + "send JOINGAME\t9; "},
        {"a line past the buffer bound is dropped whole, its CR LF split or not; unknown lines boxed",
         "$|SEAT\t2|~" + big + "\r|~\nWINNER\t4\r\n|~" + big +
             "|~y\r|~\nWINNER\t5\r\n|@Chat   |FOO\tbar\t|SEAT\tx",
         "title Tessarin v0.924 - Seat 2; history seat 4 wins; box WINNER is seat 4; history seat 5 wins; "
         "box WINNER is seat 5; box UNKNOWN COMMAND: FOO bar ; "},
        {"Exit/close in a game: gone at the next deal, unshown; else at once (even if lost); Done, no mark",
         fresh + "@Exit|" + deal + deal + fresh + "@Done|@Close|" + deal + "@Exit|" + fresh + "@Lost|@Exit|" +
             fresh + "@Exit|@Lost",
         dealt + "send EXIT; status Exiting after this round.; " + mode + "send EXIT; close; " + dealt +
             dealt + "send EXCHANGE; mode Idle; " + mode + "send EXIT; close; send EXIT; close; " + dealt +
             "send EXIT; close; " + dealt + "send EXIT; status Exiting after this round.; close; "},
        {"extension asked for once after the login, showdown if outcomes are shown; lines unagreed ignored",
         "^|$|?ann|LOGIN|OK\tLOGIN|OK\tLOGIN|FEATURES\tshowdown|TURN\t0\t5\t10|RESULT\t0\t10\tx|WINNER\t0|^",
         "prompt Enter username||Bob; send LOGIN\tann; keep userName=ann; send "
         "FEATURES\tturn\tgames\treasons; "
         "keep userName=ann; history seat 0 wins; box WINNER is seat 0; "},
        {"classic: pot and what to call from the antes, hidden once the hand is over; bets from reports",
         seated + "SEAT_STATE\t5\t5|!|" + deal +
             "SEAT_ANTE\t5\t5\t5|SEAT_ANTE\t5\t5\t0|SEAT_NAME\tann\tbob\t|" +
             "SEAT_ANTE\t15\t5|%|SEAT_ANTE\t15\t25|SEAT_ANTE\t25\t25|WINNER\t1|SEAT_ANTE\t5\t5",
         dealt + "pot 15/0; pot 25/10; owe 10; pot 45/0; pot 55/0; pot -1/0; history Your cards: " +
             "10C JC QC KC AC\nann bets 10\nbob raises 10\nann calls 10\nbob wins; box WINNER is seat 1; "},
        {"turn: mark, Making Bet (the last exchanger too), pot from TURN, what I owe; Folded till the deal",
         ext + "SEAT_ANTE\t5\t5\t5|SEAT_STATE\t5\t5\t4|TURN\t0\t0\t15|SEAT_ANTE\t15\t5\t5|TURN\t1\t10\t25|" +
             "%|FOLD\t1|SEAT_STATE\t5\t3\t6|TURN\t2\t10\t25|%|ERROR\tBET\tno|" + deal +
             "SEAT_ANTE\t5\t5\t5|SEAT_STATE\t4\t4\t4",
         dealt + "pot 15/0; S 0=Waiting for Bet; S 1=Waiting for Bet; S 2=Card Changing; mark 0=Turn; " +
             "S 0=Making Bet; S 2=Waiting for Bet; pot 15/10; mark 0=None; mark 1=Turn; " +
             "S 0=Waiting for Bet; S 1=Making Bet; S 2=Waiting for Bet; pot 25/10; owe 10; S 1=Folded; " +
             "pot 25/-1; mode Idle; S 0=Waiting for Bet; S 1=Folded; S 2=Waiting for Bet; mark 1=None; " +
             "mark 2=Turn; S 2=Making Bet; owe 0; box ERROR: BET (no); " + mode +
             "S 1=Waiting for Game Start; mark 2=None; " + drawn + "pot 15/-1; S 0=Card Changing; " +
             "S 1=Card Changing; S 2=Card Changing; pot 15/0; "},
        {"showdown: hands, winner, outcome (no box), history; folds go at the deal, the showdown at the bets",
         ext + "EXCHANGE\t20\t9\t10\t35\t12|SEAT_EXCHANGE\t2\t2\t0|SEAT_ANTE\t5\t5\t5|TURN\t0\t0\t15|" +
             "TURN\t1\t0\t15|SEAT_ANTE\t5\t15\t5|TURN\t2\t10\t25|FOLD\t2|TURN\t0\t10\t25|" +
             "SEAT_ANTE\t15\t15\t5|RESULT\t6\t1\tx|SHOWDOWN\t0\t11\t24\t5\t18\t1\tTwo Pairs K 7 3|" +
             "SHOWDOWN\t1\t20\t9\t10\t35\t12\tPair J A Q 9|RESULT\t0\t35\tTwo Pairs K 7 3|WINNER\t0|" + deal +
             "|TURN\t1\t0\t15|%",
         dealt + "mode Idle; draw 0=20; cardd; draw 3=35; cardd; status Pair J A Q 9 ; " +
             "S 1=Waiting for Bet; pot 15/0; mark 0=Turn; S 0=Making Bet; S 1=Waiting for Bet; " +
             "mark 0=None; mark 1=Turn; " +
             "S 0=Waiting for Bet; S 1=Making Bet; mark 1=None; mark 2=Turn; S 1=Waiting for Bet; " +
             "S 2=Making Bet; pot 25/0; S 2=Folded; mark 2=None; mark 0=Turn; S 0=Making Bet; " +
             "S 1=Waiting for Bet; shown 0=KC KD 7C 7D 3C: Two Pairs K 7 3; " +
             "shown 1=9D JC QC JH AC: Pair J A Q 9; mark 0=None; mark 0=Winner; " +
             "outcome ann wins 35 with Two Pairs K 7 3; chat \r\nann wins 35 with Two Pairs K 7 3; " +
             "pot -1/0; history Your cards: 10C JC QC KC AC, after the draw: 9D JC QC JH AC\n" +
             "Draws: ann 2, bob 2, carl 0\nann checks\nbob bets 10\ncarl folds\nann calls 10\n" +
             "ann shows KC KD 7C 7D 3C: Two Pairs K 7 3\nbob shows 9D JC QC JH AC: Pair J A Q 9\n" +
             "ann wins 35 with Two Pairs K 7 3; " + mode + "S 2=Waiting for Bet; " + drawn +
             "shown 0=; mark 0=None; shown 1=; mark 1=Turn; S 1=Making Bet; pot 15/0; owe 0; "},
        {"games: the one picked joined and named (the last table cleared), a cancel sends nothing, none asks "
         "the number; an unnamed game; TURN unasked",
         "$|?ann|LOGIN|OK\tLOGIN|FEATURES\tgames\tbogus|!|ERROR\tBET\tno|GAME\t9\tx\t1\t0|@JoinGame|"
         "GAME\t3\tfriday\t2\t1|GAME\t4\tsat\t1\t0|TURN\t0\t0\t5|#1|GAMES_END|OK\tJOINGAME|@JoinGame|"
         "GAME\t3\t\t6\t1|GAMES_END|@JoinGame|?1|GAMES_END|OK\tJOINGAME|GAME\t1\tx\t1\t0|"
         "GAME\t2\tsat\t1\t0|GAMES_END|HELLO\tQ",
         "box ERROR: BET; send GAMES; choose Join which game?|3 friday - 2 players, playing|4 sat - 1 "
         "player, waiting; send JOINGAME\t4; table 4; game sat; send GAMES; choose Join which game?|3 "
         "- 6 players, full, playing; send GAMES; box No game is open on the server.; prompt Game "
         "number|Join Game|1; send JOINGAME\t1; " +
             cleared + "table 1; game ; send GAMES; game x; " + cleared +
             "title Tessarin v0.924; table 0; game ; "},
        {"a new connection forgets the table it never learnt the number of",
         ext + "SHOWDOWN\t0\t11\t24\t5\t18\t1\tTwo Pairs K 7 3|HELLO\tQ|WINNER\t0",
         dealt + "shown 0=KC KD 7C 7D 3C: Two Pairs K 7 3; shown 0=; history seat 0 wins; box WINNER is seat "
                 "0; "},
        {"Done sends the marked, a mark left unexchanged goes; a code no card in the last deal's hand: "
         "no name; a prompt that comes while the cards are drawn keeps its controls; bets hide them",
         fresh + "!|@Mark 3|@Mark 4|@Done|&BET|EXCHANGE\t8\t9\t10\t11\t-3|@Pass|BET|@Call|BET|@Raise 7|BET",
         "draw 3=101; draw 4=101; send EXCHANGE\t3\t4; mode Idle; mode Idle; draw 3=11; draw 4=-3; cardd; "
         "mode Betting; attention; mode Idle; send BET\t-1; mode Betting; attention; mode Idle; "
         "send BET\t0; mode Betting; attention; mode Idle; send BET\t7; mode Betting; attention; "},
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
    const auto& all = pictureHolders();  // the pictures to load: the cards, the jokers and the back
    std::string shown = all[0] + all[51] + all[52] + all[53] + all[54] + ":";
    for (int code : {0, 8, 9, 10, 11, 12, 13, 25, 34, 38, 50, 51, 52, 53, 100, 101, -1, 54, 99, 102, -32768})
        shown += holderName(static_cast<std::int16_t>(code)).value_or("-") + ",";
    EXPECT_EQ(shown, "C2S1JBJRback:C2,C10,CJ,CQ,CK,C1,D2,D1,H10,H1,SK,S1,JB,JR,back,,-,-,-,-,-,");
}

}  // namespace
}  // namespace client::testing
