#pragma once
// Every message of the protocol, composed in one place. The functions return
// the line without its CR LF: the send routine adds it (see frame()).

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace wire {

inline constexpr std::string_view kServerTitle = "Quorvane v0.924";
inline constexpr std::string_view kClientTitle = "Tessarin v0.924";
inline constexpr std::uint16_t kServerPort = 9596;
inline constexpr int kTableCount = 10;  // numbered 1 to 10
inline constexpr int kSeatCount = 6;
inline constexpr int kHandSize = 5;
// Longer names are refused: six of them must still fit one SEAT_NAME line.
inline constexpr std::size_t kMaxNameBytes = 1000;

// Command words, both directions.
namespace cmd {
inline constexpr std::string_view HELLO = "HELLO";
inline constexpr std::string_view LOGIN = "LOGIN";
inline constexpr std::string_view LOGOUT = "LOGOUT";
inline constexpr std::string_view OK = "OK";
inline constexpr std::string_view ERROR = "ERROR";
inline constexpr std::string_view NEWGAME = "NEWGAME";
inline constexpr std::string_view JOINGAME = "JOINGAME";
inline constexpr std::string_view SEAT = "SEAT";
inline constexpr std::string_view STARTGAME = "STARTGAME";
inline constexpr std::string_view EXCHANGE = "EXCHANGE";
inline constexpr std::string_view BET = "BET";
inline constexpr std::string_view CHAT = "CHAT";
inline constexpr std::string_view EXIT = "EXIT";
inline constexpr std::string_view WINNER = "WINNER";
inline constexpr std::string_view SEAT_ANTE = "SEAT_ANTE";
inline constexpr std::string_view SEAT_NAME = "SEAT_NAME";
inline constexpr std::string_view SEAT_STATE = "SEAT_STATE";
inline constexpr std::string_view SEAT_EXCHANGE = "SEAT_EXCHANGE";
inline constexpr std::string_view SEAT_BANK = "SEAT_BANK";
// The negotiated extension: none of these reaches a session that did not ask.
inline constexpr std::string_view FEATURES = "FEATURES";
inline constexpr std::string_view TURN = "TURN";
inline constexpr std::string_view FOLD = "FOLD";
inline constexpr std::string_view SHOWDOWN = "SHOWDOWN";
inline constexpr std::string_view RESULT = "RESULT";
inline constexpr std::string_view GAMES = "GAMES";
inline constexpr std::string_view GAME = "GAME";
inline constexpr std::string_view GAMES_END = "GAMES_END";
}  // namespace cmd

// The feature words a FEATURES request may name, and the set a session holds.
namespace feature {
inline constexpr std::string_view kTurn = "turn";          // TURN and FOLD
inline constexpr std::string_view kShowdown = "showdown";  // SHOWDOWN and RESULT
inline constexpr std::string_view kGames = "games";        // GAMES, answered by GAME .. GAMES_END
inline constexpr std::string_view kReasons = "reasons";    // ERROR with why the request was refused
}  // namespace feature

enum Feature : unsigned { kFeatureTurn = 1, kFeatureShowdown = 2, kFeatureGames = 4, kFeatureReasons = 8 };
using FeatureSet = unsigned;
// The bit of a known feature word, 0 for any other word.
FeatureSet featureBit(std::string_view word);

using Hand = std::array<std::int16_t, kHandSize>;

// One seat's values as the table report shows them.
struct SeatValues {
    std::int32_t ante = 0;
    std::string name;
    std::int32_t state = 0;
    std::int32_t exchange = -1;
    std::int32_t bank = 1000;
};
using TableValues = std::array<SeatValues, kSeatCount>;

// Appends the CR LF that ends every line on the wire.
std::string frame(std::string_view line);

// Server to client.
std::string hello();
std::string loginPrompt();
std::string ok(std::string_view command);
std::string okNewGame(int gameNumber);  // "OK", TAB, "NEWGAME n": the number shares the field
std::string error(std::string_view command);
std::string error(std::string_view command, std::string_view reason);
std::string seat(int seatNo);
std::string winner(int seatNo);
std::string dealtHand(const Hand& cards);      // STARTGAME and five codes
std::string exchangedHand(const Hand& cards);  // EXCHANGE and five codes
std::string betPrompt();
std::string chatLine(std::string_view userName, std::string_view text);
std::string seatAnteLine(const TableValues& seats);
// The five lines SEAT_ANTE .. SEAT_BANK joined by CR LF, for one write.
std::string tableReport(const TableValues& seats);
std::string featuresReply(const std::vector<std::string>& words);
std::string turn(int seatNo, std::int32_t toCall, std::int32_t pot);
std::string fold(int seatNo);
std::string showdown(int seatNo, const Hand& cards, std::string_view handName);
std::string result(int seatNo, std::int32_t amount, std::string_view handName);
std::string gameEntry(int gameNumber, std::string_view name, int players, bool running);
std::string gamesEnd();

// Client to server. Texts the player typed go in verbatim.
std::string loginRequest(std::string_view name);
std::string logoutRequest();
std::string newGameRequest(std::string_view gameName);
std::string joinGameRequest(std::string_view gameNumber);
std::string seatRequest();
std::string startGameRequest();
std::string exchangeRequest(const std::vector<int>& positions);
std::string betRequest(std::string_view amount);
std::string chatRequest(std::string_view text);
std::string exitRequest();
std::string featuresRequest(const std::vector<std::string>& words);
std::string gamesRequest();

}  // namespace wire
