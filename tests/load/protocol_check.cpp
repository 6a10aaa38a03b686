#include "tests/load/protocol_check.h"

#include <bitset>
#include <charconv>

#include "poker/hand_value.h"

namespace load {

std::int64_t TableReport::chipsOfPlayers() const {
    std::int64_t sum = 0;
    for (int i = 0; i < 6; ++i)
        if (!name[i].empty()) sum += std::int64_t{bank[i]} + ante[i];
    return sum;
}

int TableReport::players() const {
    int n = 0;
    for (const auto& s : name) n += s.empty() ? 0 : 1;
    return n;
}

std::vector<int> TableReport::bettingSeats() const {
    std::vector<int> seats;
    for (int i = 0; i < 6; ++i)
        if (!name[i].empty() && (state[i] == 5 || state[i] == 6)) seats.push_back(i);
    return seats;
}

std::vector<std::string> splitFields(const std::string& line) {
    std::vector<std::string> fields;
    std::size_t from = 0;
    for (;;) {
        const auto tab = line.find('\t', from);
        fields.push_back(line.substr(from, tab == std::string::npos ? std::string::npos : tab - from));
        if (tab == std::string::npos) break;
        from = tab + 1;
    }
    return fields;
}

std::optional<std::int32_t> strictNumber(const std::string& field) {
    if (field.empty() || (field[0] != '-' && (field[0] < '0' || field[0] > '9'))) return std::nullopt;
    std::int32_t v = 0;
    const auto [end, ec] = std::from_chars(field.data(), field.data() + field.size(), v);
    if (ec != std::errc() || end != field.data() + field.size()) return std::nullopt;
    return v;
}

void LineChecker::check(const std::string& line) {
    justCompleted_ = false;
    fields_ = splitFields(line);
    const std::string& c = fields_[0];
    const auto n = fields_.size();
    auto want = [&](std::size_t count) {
        if (n != count) fail("'" + line + "': " + std::to_string(n) + " fields, not " + std::to_string(count));
        return n == count;
    };
    auto number = [&](std::size_t i, std::int32_t lo, std::int32_t hi) -> std::optional<std::int32_t> {
        const auto v = i < n ? strictNumber(fields_[i]) : std::nullopt;
        if (!v || *v < lo || *v > hi) {
            fail("'" + line + "': field " + std::to_string(i) + " is not a number in " + std::to_string(lo) + ".." +
                 std::to_string(hi));
            return std::nullopt;
        }
        return v;
    };
    // The report's five lines arrive together; only SEAT_ANTE may stand alone.
    int stage = 0;
    if (c == "SEAT_ANTE") stage = 1;
    else if (c == "SEAT_NAME") stage = 2;
    else if (c == "SEAT_STATE") stage = 3;
    else if (c == "SEAT_EXCHANGE") stage = 4;
    else if (c == "SEAT_BANK") stage = 5;
    if (stage_ >= 2 && stage != stage_ + 1) fail("'" + line + "' interrupts a table report");
    if (stage >= 2 && stage_ != stage - 1) fail("'" + line + "' outside a table report");

    if (stage > 0) {
        checkSeatLine(line, stage);
        stage_ = stage == 5 ? 0 : stage;
        if (stage == 5) {
            complete_ = building_;
            justCompleted_ = true;
            ++reportsSeen_;
        }
        return;
    }
    stage_ = 0;
    if (c == "HELLO") {
        if (want(2) && fields_[1] != "Quorvane v0.924") fail("'" + line + "': wrong title");
    } else if (c == "LOGIN" || c == "BET") {
        want(1);
    } else if (c == "OK") {
        if (!want(2)) return;
        const std::string& a = fields_[1];
        if (a.rfind("NEWGAME ", 0) == 0) {
            const auto g = strictNumber(a.substr(8));
            if (!g || *g < 1 || *g > 10) fail("'" + line + "': game number");
        } else if (a != "LOGIN" && a != "JOINGAME") {
            fail("'" + line + "': unexpected OK");
        }
    } else if (c == "ERROR") {
        want(2);
    } else if (c == "SEAT") {
        if (want(2)) number(1, -1, 5);
    } else if (c == "WINNER") {
        if (want(2)) number(1, 0, 5);
    } else if (c == "STARTGAME" || c == "EXCHANGE") {
        checkCards(line);
    } else if (c == "CHAT") {
        want(2);
    } else {
        fail("unknown line '" + line + "'");
    }
}

void LineChecker::checkCards(const std::string& line) {
    if (fields_.size() != 6) {
        fail("'" + line + "': not five cards");
        return;
    }
    std::bitset<52> seen;
    Hand h{};
    for (int p = 0; p < 5; ++p) {
        const auto v = strictNumber(fields_[p + 1]);
        if (!v || *v < 0 || *v > 51) {
            fail("'" + line + "': card " + std::to_string(p) + " is not a card code");
            return;
        }
        if (seen.test(*v)) fail("'" + line + "': card " + fields_[p + 1] + " twice");
        seen.set(*v);
        h[p] = static_cast<std::int16_t>(*v);
    }
    hand_ = h;
    hasHand_ = true;
}

void LineChecker::checkSeatLine(const std::string& line, int stage) {
    if (fields_.size() != 7) {
        fail("'" + line + "': " + std::to_string(fields_.size()) + " fields, not 7");
        return;
    }
    for (int s = 0; s < 6; ++s) {
        const std::string& f = fields_[s + 1];
        if (stage == 2) {
            building_.name[s] = f;
            continue;
        }
        const auto v = strictNumber(f);
        if (!v) {
            fail("'" + line + "': seat " + std::to_string(s) + " is not a number");
            continue;
        }
        switch (stage) {
            case 1: building_.ante[s] = *v; break;
            case 3:
                if (*v < 0 || *v > 6) fail("'" + line + "': state out of range");
                building_.state[s] = *v;
                break;
            case 4:
                if (*v < -1) fail("'" + line + "': exchange below -1");
                building_.exchange[s] = *v;
                break;
            case 5: building_.bank[s] = *v; break;
        }
    }
}

std::optional<std::string> verifyWinner(const TableReport& before, int winner,
                                        const std::array<std::optional<Hand>, 6>& hands) {
    const auto betting = before.bettingSeats();
    if (betting.empty()) return "WINNER " + std::to_string(winner) + " with nobody betting";
    if (betting.size() == 1) {
        if (betting[0] != winner)
            return "WINNER " + std::to_string(winner) + " but only seat " + std::to_string(betting[0]) + " was betting";
        return std::nullopt;
    }
    std::bitset<52> held;
    int best = -1;
    poker::clsHandValue bestHand;
    for (int seat : betting) {
        if (!hands[seat]) return "no hand known for betting seat " + std::to_string(seat);
        poker::clsHandValue hv;
        for (int p = 0; p < 5; ++p) {
            const int c = (*hands[seat])[p];
            if (held.test(c)) return "card " + std::to_string(c) + " held twice at the table";
            held.set(c);
            hv.card(p) = (*hands[seat])[p];
        }
        hv.Check_Hand();
        if (best < 0 || hv.WinsOf(bestHand).value_or(false)) {
            best = seat;
            bestHand = hv;
        }
    }
    if (best != winner)
        return "WINNER " + std::to_string(winner) + " but seat " + std::to_string(best) + " holds the best hand";
    return std::nullopt;
}

}  // namespace load
