#include "messages.h"

#include "framing.h"

namespace wire {

namespace {

std::string withArg(std::string_view command, std::string_view arg) {
    std::string s(command);
    s += kFieldSeparator;
    s += arg;
    return s;
}

std::string withHand(std::string_view command, const Hand& cards) {
    std::string s(command);
    for (auto c : cards) {
        s += kFieldSeparator;
        s += std::to_string(c);
    }
    return s;
}

std::string joined(std::string_view command, const std::vector<std::string>& fields) {
    std::string s(command);
    for (const auto& f : fields) {
        s += kFieldSeparator;
        s += f;
    }
    return s;
}

template <typename Get>
std::string seatLine(std::string_view command, const TableValues& seats, Get get) {
    std::string s(command);
    for (const auto& v : seats) {
        s += kFieldSeparator;
        s += get(v);
    }
    return s;
}

}  // namespace

std::string frame(std::string_view line) {
    std::string s(line);
    s += kLineEnd;
    return s;
}

std::string hello() { return withArg(cmd::HELLO, kServerTitle); }
std::string loginPrompt() { return std::string(cmd::LOGIN); }
std::string ok(std::string_view command) { return withArg(cmd::OK, command); }
std::string okNewGame(int gameNumber) {
    return withArg(cmd::OK, std::string(cmd::NEWGAME) + ' ' + std::to_string(gameNumber));
}
std::string error(std::string_view command) { return withArg(cmd::ERROR, command); }
std::string error(std::string_view command, std::string_view reason) {
    return joined(cmd::ERROR, {std::string(command), std::string(reason)});
}
std::string seat(int seatNo) { return withArg(cmd::SEAT, std::to_string(seatNo)); }
std::string winner(int seatNo) { return withArg(cmd::WINNER, std::to_string(seatNo)); }
std::string dealtHand(const Hand& cards) { return withHand(cmd::STARTGAME, cards); }
std::string exchangedHand(const Hand& cards) { return withHand(cmd::EXCHANGE, cards); }
std::string betPrompt() { return std::string(cmd::BET); }

std::string chatLine(std::string_view userName, std::string_view text) {
    std::string body(userName);
    body += "> ";
    body += text;
    return withArg(cmd::CHAT, body);
}

std::string seatAnteLine(const TableValues& seats) {
    return seatLine(cmd::SEAT_ANTE, seats, [](const SeatValues& v) { return std::to_string(v.ante); });
}

std::string tableReport(const TableValues& seats) {
    std::string s = seatAnteLine(seats);
    s += kLineEnd;
    s += seatLine(cmd::SEAT_NAME, seats, [](const SeatValues& v) { return v.name; });
    s += kLineEnd;
    s += seatLine(cmd::SEAT_STATE, seats, [](const SeatValues& v) { return std::to_string(v.state); });
    s += kLineEnd;
    s += seatLine(cmd::SEAT_EXCHANGE, seats, [](const SeatValues& v) { return std::to_string(v.exchange); });
    s += kLineEnd;
    s += seatLine(cmd::SEAT_BANK, seats, [](const SeatValues& v) { return std::to_string(v.bank); });
    return s;
}

FeatureSet featureBit(std::string_view word) {
    if (word == feature::kTurn) return kFeatureTurn;
    if (word == feature::kShowdown) return kFeatureShowdown;
    if (word == feature::kGames) return kFeatureGames;
    if (word == feature::kReasons) return kFeatureReasons;
    return 0;
}

std::string featuresReply(const std::vector<std::string>& words) { return joined(cmd::FEATURES, words); }

std::string turn(int seatNo, std::int32_t toCall, std::int32_t pot) {
    return joined(cmd::TURN, {std::to_string(seatNo), std::to_string(toCall), std::to_string(pot)});
}

std::string fold(int seatNo) { return withArg(cmd::FOLD, std::to_string(seatNo)); }

std::string showdown(int seatNo, const Hand& cards, std::string_view handName) {
    std::string s = withHand(withArg(cmd::SHOWDOWN, std::to_string(seatNo)), cards);
    s += kFieldSeparator;
    s += handName;
    return s;
}

std::string result(int seatNo, std::int32_t amount, std::string_view handName) {
    return joined(cmd::RESULT, {std::to_string(seatNo), std::to_string(amount), std::string(handName)});
}

std::string gameEntry(int gameNumber, std::string_view name, int players, bool running) {
    return joined(cmd::GAME, {std::to_string(gameNumber), std::string(name), std::to_string(players),
                              running ? "1" : "0"});
}

std::string gamesEnd() { return std::string(cmd::GAMES_END); }

std::string loginRequest(std::string_view name) { return withArg(cmd::LOGIN, name); }
std::string logoutRequest() { return std::string(cmd::LOGOUT); }
std::string newGameRequest(std::string_view gameName) { return withArg(cmd::NEWGAME, gameName); }
std::string joinGameRequest(std::string_view gameNumber) { return withArg(cmd::JOINGAME, gameNumber); }
std::string seatRequest() { return std::string(cmd::SEAT); }
std::string startGameRequest() { return std::string(cmd::STARTGAME); }

std::string exchangeRequest(const std::vector<int>& positions) {
    std::string s(cmd::EXCHANGE);
    for (int p : positions) {
        s += kFieldSeparator;
        s += std::to_string(p);
    }
    return s;
}

std::string betRequest(std::string_view amount) { return withArg(cmd::BET, amount); }
std::string chatRequest(std::string_view text) { return withArg(cmd::CHAT, text); }
std::string exitRequest() { return std::string(cmd::EXIT); }
std::string featuresRequest(const std::vector<std::string>& words) { return joined(cmd::FEATURES, words); }
std::string gamesRequest() { return std::string(cmd::GAMES); }

}  // namespace wire
