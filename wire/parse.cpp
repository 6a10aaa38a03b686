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

// The five card codes after the word; more fields are ignored.
std::optional<Hand> hand(const Fields& f) {
    if (f.size() < kHandSize + 1u) return std::nullopt;
    Hand cards{};
    for (std::size_t p = 0; p < cards.size(); ++p) {
        const auto code = parseNumber16(f[p + 1]);
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

}  // namespace

Request parseRequest(const Fields& f) {
    if (f.empty()) return Empty{};
    const std::string& w = f[0];
    if (w == cmd::LOGIN) return req::Login{field(f, 1).value_or("")};
    if (w == cmd::LOGOUT) return req::Logout{};
    if (w == cmd::SEAT) return req::Seat{};
    if (w == cmd::STARTGAME) return req::StartGame{};
    if (w == cmd::EXIT) return req::Exit{};
    if (w == cmd::EXCHANGE) return exchange(f);
    if (w == cmd::NEWGAME || w == cmd::CHAT) {
        const auto text = field(f, 1);
        if (!text) return Malformed{w};
        if (w == cmd::CHAT) return req::Chat{*text};
        return req::NewGame{*text};
    }
    if (w == cmd::JOINGAME || w == cmd::BET) {
        const auto n = f.size() > 1 ? parseNumber(f[1]) : std::nullopt;
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
    if (w == cmd::OK) return srv::Ok{field(f, 1).value_or("")};
    if (w == cmd::ERROR) return srv::Error{field(f, 1).value_or("")};
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
        const auto seat = f.size() > 1 ? parseNumber16(f[1]) : std::nullopt;
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
    return srv::Unknown{f};
}

}  // namespace wire
