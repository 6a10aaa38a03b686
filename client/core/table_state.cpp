#include "client/core/table_state.h"

#include <algorithm>
#include <limits>

#include "wire/session_state.h"

namespace client {

namespace {

namespace srv = wire::srv;

bool betting(std::int32_t state) { return state == wire::state::WaitBet || state == wire::state::MakeBet; }

// In the betting, or its last to exchange: the report goes out before his state changes.
bool inBetting(std::int32_t state) { return betting(state) || state == wire::state::WaitChange; }

std::int32_t clamped(std::int64_t chips) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(chips, std::numeric_limits<std::int32_t>::min(),
                                                              std::numeric_limits<std::int32_t>::max()));
}

}  // namespace

void TableState::seat(std::int16_t mySeat) {
    mySeat_ = mySeat;
    updatePot();
}

void TableState::deal(const wire::Hand& cards) {
    clearHand();
    // The next hand is dealt at once: the showdown stays in view through the
    // exchange, until the new hand's betting or its own outcome.
    staleShowdown_ = true;
    running_ = antesOfDeal_ = true;
    departed_ = 0;
    for (auto& s : seats_) s.drawn = -1;
    history_.dealt(cards);
}

void TableState::report(const srv::TableRow& row) {
    // The antes as they stood before this line: a rise above the highest is a bet.
    std::int32_t highest = 0;
    for (const auto& s : seats_) highest = std::max(highest, s.ante);
    for (std::size_t i = 0; i < row.seats.size() && i < seats_.size(); ++i) {
        Seat& s = seats_[i];
        const auto& v = row.seats[i];
        switch (row.field) {
            case srv::SeatField::Ante:
                // A seat that is not betting (a joiner's old stake) bets nothing.
                if (running_ && !antesOfDeal_ && inBetting(s.state) && v.number > s.ante)
                    bet(static_cast<int>(i), v.number, highest);
                // A player who left the running hand: his stake stays in the pot.
                if (running_ && !antesOfDeal_ && v.number < s.ante) departed_ += s.ante - v.number;
                s.ante = v.number;
                break;
            case srv::SeatField::Name:
                // A player who left takes his shown hand and marks with him.
                if (v.text.empty() && !s.name.empty()) vacate(static_cast<int>(i));
                s.name = v.text;
                break;
            case srv::SeatField::State: s.state = v.number; break;
            case srv::SeatField::Exchange:
                s.drawn = v.number;
                if (s.state == wire::state::WaitChange && s.drawn >= 0)
                    view_.setSeatCell(static_cast<int>(i), SeatColumn::State, stateText(i, s.state));
                break;
            case srv::SeatField::Bank: break;
        }
    }
    if (row.field == srv::SeatField::Ante) antesOfDeal_ = false;
    if (!antesOfDeal_) updatePot();  // the states too say whether this player owes
}

void TableState::bet(int seat, std::int32_t ante, std::int32_t& highest) {
    const std::int64_t added = std::int64_t{ante} - seats_[seat].ante;
    if (ante > highest) {
        history_.add(who(seat) + (betMade_ ? " raises " : " bets ") +
                     std::to_string(std::int64_t{ante} - highest));
        betMade_ = true;
        highest = ante;
    } else {
        history_.add(who(seat) + " calls " + std::to_string(added));
    }
    if (turn_ && turn_->seat == seat) turnActed_ = true;
}

std::string TableState::stateText(std::size_t seat, std::int32_t state) const {
    if (seat < seats_.size() && seats_[seat].folded) return "Folded";
    // The report goes out before an exchanger's state moves on: one who has drawn waits for the betting.
    if (state == wire::state::WaitChange && seat < seats_.size() && seats_[seat].drawn >= 0)
        state = wire::state::WaitBet;
    // The report goes out before the turn passes: TURN says who bets now.
    if (turn_ && inBetting(state))
        return wire::stateText(static_cast<int>(seat) == turn_->seat ? wire::state::MakeBet
                                                                     : wire::state::WaitBet);
    return wire::stateText(state);
}

void TableState::turn(const srv::Turn& m) {
    if (!valid(m.seat)) return;
    running_ = true;
    clearShowdown();
    const int before = turn_ ? turn_->seat : -1;
    if (before != m.seat) {
        closeTurn();
        clearTurnMark();
        setMark(m.seat, SeatMark::Turn);
        turnActed_ = false;
    }
    turn_ = m;
    // The seats whose State cell the new turn changes: the last and the new
    // bettor, and the last to exchange, whom the report still shows exchanging.
    if (before != m.seat)
        for (int i = 0; i < wire::kSeatCount; ++i) {
            const std::int32_t state = seats_[i].state;
            if (!seats_[i].folded &&
                (state == wire::state::WaitChange || (betting(state) && (i == before || i == m.seat))))
                view_.setSeatCell(i, SeatColumn::State, stateText(i, state));
        }
    updatePot();
}

void TableState::fold(std::int16_t seat) {
    if (!valid(seat) || seats_[seat].folded) return;
    seats_[seat].folded = true;
    view_.setSeatCell(seat, SeatColumn::State, "Folded");
    history_.add(who(seat) + " folds");
    if (turn_ && turn_->seat == seat) turnActed_ = true;
    updatePot();
}

void TableState::showdown(const srv::Showdown& m) {
    if (!valid(m.seat)) return;
    clearShowdown();
    closeTurn();
    const std::string shown = handText(m.cards) + (m.handName.empty() ? "" : ": " + m.handName);
    seats_[m.seat].shown = true;
    view_.setSeatCell(m.seat, SeatColumn::Shown, shown);
    history_.add(who(m.seat) + " shows " + shown);
}

std::string TableState::result(const srv::Result& m) {
    if (!valid(m.seat) || m.amount < 0) return {};  // no winner this table could have
    clearShowdown();
    closeTurn();
    clearTurnMark();
    setMark(m.seat, SeatMark::Winner);
    result_ = who(m.seat) + " wins " + std::to_string(m.amount);
    if (!m.handName.empty()) result_ += " with " + m.handName;
    return result_;
}

std::string TableState::winnerText(const srv::Winner& m) const {
    return (m.seat && valid(*m.seat) ? who(*m.seat) : "seat " + m.text) + " wins";
}

std::string TableState::handEnded(const srv::Winner& m) {
    closeTurn();
    clearTurnMark();
    running_ = false;
    turn_.reset();
    updatePot();
    std::string draws;
    for (int i = 0; i < wire::kSeatCount; ++i)
        if (seats_[i].drawn >= 0)
            draws += (draws.empty() ? "Draws: " : ", ") + who(i) + " " + std::to_string(seats_[i].drawn);
    const std::string entry = history_.entry(draws, hasResult() ? result_ : winnerText(m));
    history_ = {};
    return entry;
}

void TableState::leave() {
    clearHand();
    staleShowdown_ = true;
    clearShowdown();
    running_ = false;
    updatePot();
    seats_ = {};
    history_ = {};
}

std::int32_t TableState::toCall() const { return std::max(0, owed()); }

std::int32_t TableState::owed() const {
    if (!running_ || !valid(mySeat_)) return -1;
    const Seat& me = seats_[mySeat_];
    // Waiting for the next deal: folded, or seated after this one.
    if (me.folded || me.state == wire::state::WaitStart) return -1;
    if (turn_ && turn_->seat == mySeat_) return std::max(0, turn_->toCall);
    std::int32_t highest = 0;
    for (const auto& s : seats_) highest = std::max(highest, s.ante);
    return clamped(std::max<std::int64_t>(0, std::int64_t{highest} - me.ante));
}

std::string TableState::who(int seat) const {
    if (valid(seat) && !seats_[seat].name.empty()) return seats_[seat].name;
    return "seat " + std::to_string(seat);
}

void TableState::setMark(int seat, SeatMark mark) {
    if (seats_[seat].mark == mark) return;
    seats_[seat].mark = mark;
    view_.markSeat(seat, mark);
}

void TableState::clearTurnMark() {
    for (int i = 0; i < wire::kSeatCount; ++i)
        if (seats_[i].mark == SeatMark::Turn) setMark(i, SeatMark::None);
}

// What the last hand left on the seat list but its showdown: folds, the turn mark.
void TableState::clearHand() {
    for (int i = 0; i < wire::kSeatCount; ++i) {
        Seat& s = seats_[i];
        if (std::exchange(s.folded, false)) view_.setSeatCell(i, SeatColumn::State, stateText(i, s.state));
    }
    clearTurnMark();
    turn_.reset();
    betMade_ = turnActed_ = false;
    result_.clear();
}

// The last hand's shown hands and winner's mark, once a new hand has moved on.
void TableState::clearShowdown() {
    if (!std::exchange(staleShowdown_, false)) return;
    for (int i = 0; i < wire::kSeatCount; ++i) {
        if (std::exchange(seats_[i].shown, false)) view_.setSeatCell(i, SeatColumn::Shown, "");
        if (seats_[i].mark == SeatMark::Winner) setMark(i, SeatMark::None);
    }
}

void TableState::vacate(int seat) {
    Seat& s = seats_[seat];
    if (std::exchange(s.shown, false)) view_.setSeatCell(seat, SeatColumn::Shown, "");
    s.folded = false;
    setMark(seat, SeatMark::None);
}

// The seat on turn gives it up: without a bet or a fold it called nothing.
void TableState::closeTurn() {
    if (turn_ && !turnActed_ && !seats_[turn_->seat].folded) history_.add(who(turn_->seat) + " checks");
    turnActed_ = true;
}

// The pot line: TURN's pot once the betting has begun, the table report's
// antes before that (and with a server that sends no TURN); what this
// player owes, not what the one on turn owes.
void TableState::updatePot() {
    std::pair<std::int32_t, std::int32_t> pot{-1, 0};
    if (running_ && turn_) {
        pot = {turn_->pot, owed()};
    } else if (running_) {
        std::int64_t sum = departed_;
        for (const auto& s : seats_) sum += std::max(0, s.ante);
        pot = {clamped(sum), owed()};
    }
    if (pot == potShown_) return;
    potShown_ = pot;
    view_.showPot(pot.first, pot.second);
}

}  // namespace client
