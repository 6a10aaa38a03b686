#pragma once
// Each line read from the wire becomes one typed message here, once, so the
// field counts and number rules of the protocol live in one place and the
// handlers on both sides take only well-formed values.
//
// A known word whose fields break the rules becomes Malformed (what the
// receiver answers to it, if anything, is the receiver's business); a word
// the catalogue does not know becomes Unknown. An empty line is Empty.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "wire/framing.h"
#include "wire/messages.h"

namespace wire {

struct Empty {};
struct Malformed {
    std::string word;
};

// Client to server.
namespace req {
struct Login {
    std::string name;  // as sent; empty when the field is missing
};
struct Logout {};
struct NewGame {
    std::string name;
};
struct JoinGame {
    std::int32_t number;  // any 32-bit number; the range is the server's to check
};
struct Seat {};
struct StartGame {};
struct Exchange {
    std::vector<int> positions;  // each 0..4, in the order sent; empty fields skipped
    std::int16_t count;          // fields after the word, empty ones included
};
struct Bet {
    std::int32_t amount;  // negative passes, 0 calls, positive raises
};
struct Chat {
    std::string text;
};
struct Exit {};
struct Features {
    std::vector<std::string> words;  // in the order asked; empty fields skipped
};
struct Games {};
struct Unknown {
    std::string word;
};
}  // namespace req

using Request = std::variant<Empty, req::Login, req::Logout, req::NewGame, req::JoinGame, req::Seat,
                             req::StartGame, req::Exchange, req::Bet, req::Chat, req::Exit, req::Features,
                             req::Games, Malformed, req::Unknown>;

Request parseRequest(const Fields& fields);

// Server to client.
namespace srv {
struct Hello {
    std::string title;
};
struct LoginPrompt {};
struct Ok {
    std::string what;                    // "LOGIN", "JOINGAME" or "NEWGAME n"
    std::optional<std::int32_t> number;  // the n of "NEWGAME n"
};
struct Error {
    std::string what;    // the refused command word; empty when missing
    std::string reason;  // why, from a server that was asked for reasons
};
struct Deal {
    Hand cards;  // STARTGAME: the five new cards
};
struct Exchanged {
    Hand cards;  // EXCHANGE: the hand after the exchange
};
struct BetPrompt {};
struct Winner {
    std::string text;                  // the seat field as sent
    std::optional<std::int32_t> seat;  // the same when it is a number
};
struct Seat {
    std::int16_t seat;
};
struct Chat {
    std::string text;  // "name> text"
};

// One line of the table report: up to six seats' values of one column.
enum class SeatField { Ante, Name, State, Exchange, Bank };
struct SeatValue {
    std::string text;         // the field as sent
    std::int32_t number = 0;  // its value (not for names; states fit 16 bits)
};
struct TableRow {
    SeatField field;
    std::vector<SeatValue> seats;
};

// The extension lines, sent only to a session that asked for them.
struct Features {
    std::vector<std::string> words;  // what the server agreed to
};
struct Turn {
    std::int16_t seat;
    std::int32_t toCall;
    std::int32_t pot;
};
struct Fold {
    std::int16_t seat;
};
struct Showdown {
    std::int16_t seat;
    Hand cards;
    std::string handName;
};
struct Result {
    std::int16_t seat;
    std::int32_t amount;   // the whole pot the winner receives
    std::string handName;  // empty when everyone else folded
};
struct Game {
    std::int32_t number;
    std::string name;
    std::int16_t players;
    bool running;
};
struct GamesEnd {};

struct Unknown {
    Fields fields;  // the whole line, word first
};
}  // namespace srv

using ServerLine =
    std::variant<Empty, srv::Hello, srv::LoginPrompt, srv::Ok, srv::Error, srv::Deal, srv::Exchanged,
                 srv::BetPrompt, srv::Winner, srv::Seat, srv::Chat, srv::TableRow, srv::Features, srv::Turn,
                 srv::Fold, srv::Showdown, srv::Result, srv::Game, srv::GamesEnd, Malformed, srv::Unknown>;

ServerLine parseServerLine(const Fields& fields);

// A number that also fits 16 bits (card codes, seats, states).
std::optional<std::int16_t> parseNumber16(std::string_view field);

}  // namespace wire
