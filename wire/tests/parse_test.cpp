#include "wire/parse.h"

#include <gtest/gtest.h>

#include <ranges>

namespace {

const char* const kRequests[] = {"Empty", "Login",     "Logout",   "NewGame",   "JoinGame",
                                 "Seat",  "StartGame", "Exchange", "Bet",       "Chat",
                                 "Exit",  "Features",  "Games",    "Malformed", "Unknown"};
const char* const kServerLines[] = {"Empty",     "Hello",     "LoginPrompt", "Ok",       "Error",  "Deal",
                                    "Exchanged", "BetPrompt", "Winner",      "Seat",     "Chat",   "Row",
                                    "Features",  "Turn",      "Fold",        "Showdown", "Result", "Game",
                                    "GamesEnd",  "Malformed", "Unknown"};

// Texts in brackets, numbers bare, lists in parentheses; a number that is not there is "-".
struct Text {
    std::string s;
    void put(const std::string& t) { s += " [" + t + "]"; }
    void put(std::integral auto n) { s += " " + std::to_string(n); }
    void put(const std::optional<std::int32_t>& n) { s += n ? " " + std::to_string(*n) : " -"; }
    void put(wire::srv::SeatField f) { put(static_cast<int>(f)); }
    void put(const wire::srv::SeatValue& v) { s += " " + v.text + "=" + std::to_string(v.number); }
    void put(const std::ranges::range auto& list) {
        s += " (";
        for (const auto& x : list) put(x);
        s += " )";
    }
};

// Every field the message has, in one order, so one row states the whole result.
std::string fields(const auto& m) {
    Text t;
    if constexpr (requires { m.word; }) t.put(m.word);
    if constexpr (requires { m.title; }) t.put(m.title);
    if constexpr (requires { m.what; }) t.put(m.what);
    if constexpr (requires { m.reason; }) t.put(m.reason);
    if constexpr (requires { m.text; }) t.put(m.text);
    if constexpr (requires { m.number; }) t.put(m.number);
    if constexpr (requires { m.name; }) t.put(m.name);
    if constexpr (requires { m.players; }) t.put(m.players);
    if constexpr (requires { m.running; }) t.put(m.running);
    if constexpr (requires { m.count; }) t.put(m.count);
    if constexpr (requires { m.positions; }) t.put(m.positions);
    if constexpr (requires { m.seat; }) t.put(m.seat);
    if constexpr (requires { m.toCall; }) t.put(m.toCall);
    if constexpr (requires { m.pot; }) t.put(m.pot);
    if constexpr (requires { m.amount; }) t.put(m.amount);
    if constexpr (requires { m.cards; }) t.put(m.cards);
    if constexpr (requires { m.handName; }) t.put(m.handName);
    if constexpr (requires { m.words; }) t.put(m.words);
    if constexpr (requires { m.field; }) t.put(m.field);
    if constexpr (requires { m.seats; }) t.put(m.seats);
    if constexpr (requires { m.fields; }) t.put(m.fields);
    return t.s;
}

// Each row: "<line>|<expected>".
void expectRows(const auto& rows, auto parse, const char* const* names) {
    for (const auto& r : rows) {
        SCOPED_TRACE(r.substr(0, 100));
        const auto message = parse(wire::splitLine(r.substr(0, r.find('|'))));
        EXPECT_EQ(names[message.index()] + std::visit([](const auto& m) { return fields(m); }, message),
                  r.substr(r.find('|') + 1));
    }
}

TEST(Parse, RequestsTakeTheirFieldsByOneRule) {
    const std::string rows[] = {
        "|Empty",
        "login\tAnn|Login [Ann]",
        "LOGIN|Login []",
        "LOGOUT\textra|Logout",
        "NEWGAME\tmy game|NewGame [my game]",
        "JOINGAME\t 10 |JoinGame 10",
        "SEAT|Seat",
        "STARTGAME\t1|StartGame",
        "EXCHANGE\t4\t0|Exchange 2 ( 4 0 )",
        "EXCHANGE\t\t2\t|Exchange 3 ( 2 )",
        "EXCHANGE\t5|Malformed [EXCHANGE]",
        "EXCHANGE\t-1|Malformed [EXCHANGE]",
        "EXCHANGE\tone|Malformed [EXCHANGE]",
        "BET\t+25|Bet 25",
        "BET\t007|Bet 7",
        "BET\t-2147483648|Bet -2147483648",
        "BET\t-2147483649|Malformed [BET]",
        "BET\t+-1|Malformed [BET]",
        "BET\t12abc|Malformed [BET]",
        "BET\t   |Malformed [BET]",
        "BET|Malformed [BET]",
        "CHAT\thi\tthere|Chat [hi]",
        "CHAT|Malformed [CHAT]",
        "EXIT|Exit",
        "features\tturn\t\tGames\tx|Features ( [turn] [Games] [x] )",
        "GAMES\t1|Games",
        "WINNER\t1|Unknown [WINNER]",
        // A count past 16 bits cannot be recorded as the player's exchange.
        "EXCHANGE" + std::string(40000, '\t') + "|Malformed [EXCHANGE]",
    };
    expectRows(rows, wire::parseRequest, kRequests);
}

TEST(Parse, ServerLinesTakeTheirFieldsByOneRule) {
    const std::string rows[] = {
        "|Empty",
        "HELLO\tQuorvane v0.924|Hello [Quorvane v0.924]",
        "LOGIN|LoginPrompt",
        "OK\tNEWGAME 3|Ok [NEWGAME 3] 3",
        "OK\tNEWGAME x|Ok [NEWGAME x] -",
        "OK\tLOGIN|Ok [LOGIN] -",
        "ERROR\tBET|Error [BET] []",
        "ERROR\tJOINGAME\ttable 3 is full|Error [JOINGAME] [table 3 is full]",
        "STARTGAME\t0\t1\t2\t3\t51\t9|Deal ( 0 1 2 3 51 )",
        "EXCHANGE\t0\t1\t2\t3\t40000|Malformed [EXCHANGE]",
        "EXCHANGE\t-5\t1\t2\t3\t4|Exchanged ( -5 1 2 3 4 )",
        "BET|BetPrompt",
        "WINNER\t2|Winner [2] 2",
        "WINNER\tx|Winner [x] -",
        "WINNER|Malformed [WINNER]",
        "SEAT\t32767|Seat 32767",
        "SEAT\t32768|Malformed [SEAT]",
        "SEAT\t-32769|Malformed [SEAT]",
        "CHAT\tann> hi|Chat [ann> hi]",
        "CHAT|Malformed [CHAT]",
        "SEAT_ANTE\t5\t0|Row 0 ( 5=5 0=0 )",
        "SEAT_NAME\tann\t|Row 1 ( ann=0 =0 )",
        "SEAT_STATE\t6\t40000|Malformed [SEAT_STATE]",
        "SEAT_STATE\t6\t-3|Row 2 ( 6=6 -3=-3 )",
        "SEAT_EXCHANGE\t-1|Row 3 ( -1=-1 )",
        "SEAT_BANK\t1\t2\t3\t4\t5\t6\t7|Malformed [SEAT_BANK]",
        "SEAT_BANK\tlots|Malformed [SEAT_BANK]",
        "seat_bank|Row 4 ( )",
        "FEATURES\tturn\t\tshowdown|Features ( [turn] [showdown] )",
        "TURN\t2\t15\t-40|Turn 2 15 -40",
        "TURN\t2\t15|Malformed [TURN]",
        "TURN\t40000\t0\t0|Malformed [TURN]",
        "FOLD\t3|Fold 3",
        "FOLD|Malformed [FOLD]",
        "SHOWDOWN\t1\t0\t13\t26\t39\t51\tFour of a Kind|Showdown 1 ( 0 13 26 39 51 ) [Four of a Kind]",
        "SHOWDOWN\t1\t0\t13\t26\t39|Malformed [SHOWDOWN]",
        "RESULT\t0\t120\tFlush|Result 0 120 [Flush]",
        "RESULT\t0\t120|Result 0 120 []",
        "RESULT\t0|Malformed [RESULT]",
        "GAME\t4\tfriday\t3\t1|Game 4 [friday] 3 1",
        "GAME\t4\t\t0\t0|Game 4 [] 0 0",
        "GAME\t4\tfriday\t3|Malformed [GAME]",
        "GAMES_END|GamesEnd",
        "FROB\ta\tb|Unknown ( [FROB] [a] [b] )"};
    expectRows(rows, wire::parseServerLine, kServerLines);
}

}  // namespace
