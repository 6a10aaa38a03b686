#include "wire/parse.h"

#include <gtest/gtest.h>

namespace {

// Renders a typed message as its name and payload, so one row states the whole result.
const char* const kRequests[] = {"Empty", "Login",     "Logout",   "NewGame",   "JoinGame",
                                 "Seat",  "StartGame", "Exchange", "Bet",       "Chat",
                                 "Exit",  "Features",  "Games",    "Malformed", "Unknown"};
const char* const kServerLines[] = {"Empty",     "Hello",     "LoginPrompt", "Ok",       "Error",  "Deal",
                                    "Exchanged", "BetPrompt", "Winner",      "Seat",     "Chat",   "Row",
                                    "Features",  "Turn",      "Fold",        "Showdown", "Result", "Game",
                                    "GamesEnd",  "Malformed", "Unknown"};

struct Payload {
    std::string operator()(const auto&) const { return ""; }
    std::string operator()(const wire::Malformed& m) const { return " " + m.word; }
    std::string operator()(const wire::req::Login& m) const { return " [" + m.name + "]"; }
    std::string operator()(const wire::req::NewGame& m) const { return " [" + m.name + "]"; }
    std::string operator()(const wire::req::JoinGame& m) const { return " " + std::to_string(m.number); }
    std::string operator()(const wire::req::Exchange& m) const {
        std::string s = " " + std::to_string(m.count) + " [";
        for (int p : m.positions) s += std::to_string(p);
        return s + "]";
    }
    std::string operator()(const wire::req::Bet& m) const { return " " + std::to_string(m.amount); }
    std::string operator()(const wire::req::Chat& m) const { return " [" + m.text + "]"; }
    std::string operator()(const wire::req::Unknown& m) const { return " " + m.word; }
    std::string operator()(const wire::req::Features& m) const { return words(m.words); }
    std::string operator()(const wire::srv::Features& m) const { return words(m.words); }
    std::string operator()(const wire::srv::Turn& m) const {
        return " " + std::to_string(m.seat) + " " + std::to_string(m.toCall) + " " + std::to_string(m.pot);
    }
    std::string operator()(const wire::srv::Fold& m) const { return " " + std::to_string(m.seat); }
    std::string operator()(const wire::srv::Showdown& m) const {
        return " " + std::to_string(m.seat) + cards(m.cards) + " [" + m.handName + "]";
    }
    std::string operator()(const wire::srv::Result& m) const {
        return " " + std::to_string(m.seat) + " " + std::to_string(m.amount) + " [" + m.handName + "]";
    }
    std::string operator()(const wire::srv::Game& m) const {
        return " " + std::to_string(m.number) + " [" + m.name + "] " + std::to_string(m.players) +
               (m.running ? " running" : " idle");
    }
    std::string operator()(const wire::srv::Hello& m) const { return " [" + m.title + "]"; }
    std::string operator()(const wire::srv::Ok& m) const { return " [" + m.what + "]"; }
    std::string operator()(const wire::srv::Error& m) const { return " [" + m.what + "]"; }
    std::string operator()(const wire::srv::Deal& m) const { return cards(m.cards); }
    std::string operator()(const wire::srv::Exchanged& m) const { return cards(m.cards); }
    std::string operator()(const wire::srv::Winner& m) const {
        return " [" + m.text + "] " + (m.seat ? std::to_string(*m.seat) : "-");
    }
    std::string operator()(const wire::srv::Seat& m) const { return " " + std::to_string(m.seat); }
    std::string operator()(const wire::srv::Chat& m) const { return " [" + m.text + "]"; }
    std::string operator()(const wire::srv::TableRow& m) const {
        std::string s = std::to_string(static_cast<int>(m.field));
        for (const auto& v : m.seats) s += " " + v.text + "=" + std::to_string(v.number);
        return s;
    }
    std::string operator()(const wire::srv::Unknown& m) const {
        return " " + std::to_string(m.fields.size());
    }
    static std::string words(const std::vector<std::string>& w) {
        std::string s;
        for (const auto& x : w) s += " [" + x + "]";
        return s;
    }
    static std::string cards(const wire::Hand& h) {
        std::string s = " ";
        for (auto c : h) s += std::to_string(c) + ",";
        return s;
    }
};

std::string describe(const wire::Request& m) { return kRequests[m.index()] + std::visit(Payload{}, m); }
std::string describe(const wire::ServerLine& m) { return kServerLines[m.index()] + std::visit(Payload{}, m); }

// Each row: "<line>|<expected>".
void expectRows(const auto& rows, auto parse) {
    for (const std::string r : rows) {
        SCOPED_TRACE(r);
        EXPECT_EQ(describe(parse(wire::splitLine(r.substr(0, r.find('|'))))), r.substr(r.find('|') + 1));
    }
}

TEST(Parse, RequestsTakeTheirFieldsByOneRule) {
    const char* rows[] = {"|Empty",
                          "login\tAnn|Login [Ann]",
                          "LOGIN|Login []",
                          "LOGOUT\textra|Logout",
                          "NEWGAME\tmy game|NewGame [my game]",
                          "NEWGAME\t|NewGame []",
                          "NEWGAME|Malformed NEWGAME",
                          "JOINGAME\t 10 |JoinGame 10",
                          "JOINGAME\t-3|JoinGame -3",
                          "JOINGAME\tx|Malformed JOINGAME",
                          "JOINGAME\t2147483648|Malformed JOINGAME",
                          "JOINGAME|Malformed JOINGAME",
                          "SEAT|Seat",
                          "STARTGAME\t1|StartGame",
                          "EXCHANGE|Exchange 0 []",
                          "EXCHANGE\t4\t0|Exchange 2 [40]",
                          "EXCHANGE\t\t2\t|Exchange 3 [2]",
                          "EXCHANGE\t5|Malformed EXCHANGE",
                          "EXCHANGE\t-1|Malformed EXCHANGE",
                          "EXCHANGE\tone|Malformed EXCHANGE",
                          "BET\t-1|Bet -1",
                          "BET\t+25|Bet 25",
                          "BET\t007|Bet 7",
                          "BET\t-2147483648|Bet -2147483648",
                          "BET\t-2147483649|Malformed BET",
                          "BET\t+-1|Malformed BET",
                          "BET\t   |Malformed BET",
                          "BET\t-|Malformed BET",
                          "BET\t12abc|Malformed BET",
                          "BET\t|Malformed BET",
                          "BET|Malformed BET",
                          "CHAT\thi\tthere|Chat [hi]",
                          "CHAT|Malformed CHAT",
                          "EXIT|Exit",
                          "FEATURES|Features",
                          "features\tturn\t\tGames\tx|Features [turn] [Games] [x]",
                          "GAMES\t1|Games",
                          "WINNER\t1|Unknown WINNER"};
    expectRows(rows, wire::parseRequest);
    // A count past 16 bits cannot be recorded as the player's exchange.
    wire::Fields many(40000, "");
    many[0] = "EXCHANGE";
    EXPECT_EQ(describe(wire::parseRequest(many)), "Malformed EXCHANGE");
}

TEST(Parse, ServerLinesTakeTheirFieldsByOneRule) {
    const char* rows[] = {
        "|Empty",
        "HELLO\tQuorvane v0.924|Hello [Quorvane v0.924]",
        "LOGIN|LoginPrompt",
        "OK\tNEWGAME 3|Ok [NEWGAME 3]",
        "ERROR|Error []",
        "ERROR\tBET|Error [BET]",
        "STARTGAME\t0\t1\t2\t3\t51\t9|Deal 0,1,2,3,51,",
        "STARTGAME\t0\t1\t2\t3|Malformed STARTGAME",
        "EXCHANGE\t0\t1\t2\t3\t40000|Malformed EXCHANGE",
        "EXCHANGE\t-5\t1\t2\t3\t4|Exchanged -5,1,2,3,4,",
        "BET|BetPrompt",
        "WINNER\t2|Winner [2] 2",
        "WINNER\tx|Winner [x] -",
        "WINNER|Malformed WINNER",
        "SEAT\t-1|Seat -1",
        "SEAT\t32767|Seat 32767",
        "SEAT\t32768|Malformed SEAT",
        "SEAT\t-32769|Malformed SEAT",
        "CHAT\tann> hi|Chat [ann> hi]",
        "CHAT|Malformed CHAT",
        "SEAT_ANTE\t5\t0|Row0 5=5 0=0",
        "SEAT_NAME\tann\t|Row1 ann=0 =0",
        "SEAT_STATE\t6\t40000|Malformed SEAT_STATE",
        "SEAT_STATE\t6\t-3|Row2 6=6 -3=-3",
        "SEAT_EXCHANGE\t-1|Row3 -1=-1",
        "SEAT_BANK\t1\t2\t3\t4\t5\t6\t7|Malformed SEAT_BANK",
        "SEAT_BANK\tlots|Malformed SEAT_BANK",
        "seat_bank|Row4",
        "FEATURES\tturn\t\tshowdown|Features [turn] [showdown]",
        "TURN\t2\t15\t-40|Turn 2 15 -40",
        "TURN\t2\t15|Malformed TURN",
        "TURN\t40000\t0\t0|Malformed TURN",
        "FOLD\t3|Fold 3",
        "FOLD|Malformed FOLD",
        "SHOWDOWN\t1\t0\t13\t26\t39\t51\tFour of a Kind 2 2 2 2 A|Showdown 1 0,13,26,39,51, "
        "[Four of a Kind 2 2 2 2 A]",
        "SHOWDOWN\t1\t0\t13\t26\t39\t51|Showdown 1 0,13,26,39,51, []",
        "SHOWDOWN\t1\t0\t13\t26\t39|Malformed SHOWDOWN",
        "RESULT\t0\t120\t|Result 0 120 []",
        "RESULT\t0\t120|Result 0 120 []",
        "RESULT\t0|Malformed RESULT",
        "GAME\t4\tfriday\t3\t1|Game 4 [friday] 3 running",
        "GAME\t4\t\t0\t0|Game 4 [] 0 idle",
        "GAME\t4\tfriday\t3|Malformed GAME",
        "GAMES_END|GamesEnd",
        "FROB\ta\tb|Unknown 3"};
    expectRows(rows, wire::parseServerLine);
}

}  // namespace
