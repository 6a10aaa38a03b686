#include "wire/parse.h"

#include <limits>

namespace wire {

std::optional<std::int16_t> parseNumber16(std::string_view field) {
    const auto n = parseNumber(field);
    if (!n || *n < std::numeric_limits<std::int16_t>::min() || *n > std::numeric_limits<std::int16_t>::max())
        return std::nullopt;
    return static_cast<std::int16_t>(*n);
}

namespace {

// Field i, or nothing when the line is shorter.
std::optional<std::string> field(const Fields& f, std::size_t i) {
    if (f.size() <= i) return std::nullopt;
    return f[i];
}

Request exchange(const Fields& f) {
    const std::size_t count = f.size() - 1;
    if (count > static_cast<std::size_t>(std::numeric_limits<std::int16_t>::max())) return Malformed{f[0]};
    req::Exchange e{{}, static_cast<std::int16_t>(count)};
    for (std::size_t i = 1; i < f.size(); ++i) {
        if (f[i].empty()) continue;
        const auto p = parseNumber(f[i]);
        if (!p || *p < 0 || *p >= kHandSize) return Malformed{f[0]};
        e.positions.push_back(*p);
    }
    return e;
}

// The words after the command, empty fields skipped.
std::vector<std::string> words(const Fields& f) {
    std::vector<std::string> w;
    for (std::size_t i = 1; i < f.size(); ++i)
        if (!f[i].empty()) w.push_back(f[i]);
    return w;
}

// Field i as a number of 16 or 32 bits, or nothing when missing or not a number.
std::optional<std::int16_t> number16(const Fields& f, std::size_t i) {
    return f.size() > i ? parseNumber16(f[i]) : std::nullopt;
}
std::optional<std::int32_t> number32(const Fields& f, std::size_t i) {
    return f.size() > i ? parseNumber(f[i]) : std::nullopt;
}

// The five card codes from field `first` on; more fields are ignored.
std::optional<Hand> hand(const Fields& f, std::size_t first = 1) {
    if (f.size() < first + kHandSize) return std::nullopt;
    Hand cards{};
    for (std::size_t p = 0; p < cards.size(); ++p) {
        const auto code = parseNumber16(f[p + first]);
        if (!code) return std::nullopt;
        cards[p] = *code;
    }
    return cards;
}

ServerLine tableRow(const Fields& f, srv::SeatField which) {
    if (f.size() - 1 > static_cast<std::size_t>(kSeatCount)) return Malformed{f[0]};
    srv::TableRow row{which, {}};
    for (std::size_t i = 1; i < f.size(); ++i) {
        srv::SeatValue v{f[i]};
        if (which == srv::SeatField::State) {
            const auto n = parseNumber16(f[i]);
            if (!n) return Malformed{f[0]};
            v.number = *n;
        } else if (which != srv::SeatField::Name) {
            const auto n = parseNumber(f[i]);
            if (!n) return Malformed{f[0]};
            v.number = *n;
        }
        row.seats.push_back(std::move(v));
    }
    return row;
}

ServerLine extension(const Fields& f) {
    const std::string& w = f[0];
    const auto seat = number16(f, 1);
    if (w == cmd::FEATURES) return srv::Features{words(f)};
    if (w == cmd::GAMES_END) return srv::GamesEnd{};
    if (w == cmd::FOLD && seat) return srv::Fold{*seat};
    if (w == cmd::TURN && seat) {
        const auto toCall = number32(f, 2), pot = number32(f, 3);
        if (toCall && pot) return srv::Turn{*seat, *toCall, *pot};
    }
    if (w == cmd::SHOWDOWN && seat)
        if (const auto cards = hand(f, 2)) return srv::Showdown{*seat, *cards, field(f, 7).value_or("")};
    if (w == cmd::RESULT && seat)
        if (const auto amount = number32(f, 2)) return srv::Result{*seat, *amount, field(f, 3).value_or("")};
    if (w == cmd::GAME) {
        const auto number = number32(f, 1);
        const auto players = number16(f, 3), running = number16(f, 4);
        if (number && players && running) return srv::Game{*number, f[2], *players, *running != 0};
    }
    return Malformed{w};
}

}  // namespace

Request parseRequest(const Fields& f) {
    if (f.empty()) return Empty{};
    const std::string& w = f[0];
    if (w == cmd::LOGIN) return req::Login{field(f, 1).value_or("")};
    if (w == cmd::LOGOUT) return req::Logout{};
    if (w == cmd::SEAT) return req::Seat{};
    if (w == cmd::STARTGAME) return req::StartGame{};
    if (w == cmd::EXIT) return req::Exit{};
    if (w == cmd::FEATURES) return req::Features{words(f)};
    if (w == cmd::GAMES) return req::Games{};
    if (w == cmd::EXCHANGE) return exchange(f);
    if (w == cmd::NEWGAME || w == cmd::CHAT) {
        const auto text = field(f, 1);
        if (!text) return Malformed{w};
        if (w == cmd::CHAT) return req::Chat{*text};
        return req::NewGame{*text};
    }
    if (w == cmd::JOINGAME || w == cmd::BET) {
        const auto n = number32(f, 1);
        if (!n) return Malformed{w};
        if (w == cmd::BET) return req::Bet{*n};
        return req::JoinGame{*n};
    }
    return req::Unknown{w};
}

ServerLine parseServerLine(const Fields& f) {
    if (f.empty()) return Empty{};
    const std::string& w = f[0];
    if (w == cmd::HELLO) return srv::Hello{field(f, 1).value_or("")};
    if (w == cmd::LOGIN) return srv::LoginPrompt{};
    if (w == cmd::OK) {
        std::string what = field(f, 1).value_or("");
        const std::string newGame = std::string(cmd::NEWGAME) + ' ';  // the number shares the field
        std::optional<std::int32_t> number;
        if (what.starts_with(newGame)) number = parseNumber(std::string_view(what).substr(newGame.size()));
        return srv::Ok{std::move(what), number};
    }
    if (w == cmd::ERROR) return srv::Error{field(f, 1).value_or(""), field(f, 2).value_or("")};
    if (w == cmd::BET) return srv::BetPrompt{};
    if (w == cmd::STARTGAME || w == cmd::EXCHANGE) {
        const auto cards = hand(f);
        if (!cards) return Malformed{w};
        if (w == cmd::STARTGAME) return srv::Deal{*cards};
        return srv::Exchanged{*cards};
    }
    if (w == cmd::WINNER) {
        const auto text = field(f, 1);
        if (!text) return Malformed{w};
        return srv::Winner{*text, parseNumber(*text)};
    }
    if (w == cmd::SEAT) {
        const auto seat = number16(f, 1);
        if (!seat) return Malformed{w};
        return srv::Seat{*seat};
    }
    if (w == cmd::CHAT) {
        const auto text = field(f, 1);
        if (!text) return Malformed{w};
        return srv::Chat{*text};
    }
    if (w == cmd::SEAT_ANTE) return tableRow(f, srv::SeatField::Ante);
    if (w == cmd::SEAT_NAME) return tableRow(f, srv::SeatField::Name);
    if (w == cmd::SEAT_STATE) return tableRow(f, srv::SeatField::State);
    if (w == cmd::SEAT_EXCHANGE) return tableRow(f, srv::SeatField::Exchange);
    if (w == cmd::SEAT_BANK) return tableRow(f, srv::SeatField::Bank);
    if (w == cmd::FEATURES || w == cmd::TURN || w == cmd::FOLD || w == cmd::SHOWDOWN || w == cmd::RESULT ||
        w == cmd::GAME || w == cmd::GAMES_END)
        return extension(f);
    return srv::Unknown{f};
}

}  // namespace wire
