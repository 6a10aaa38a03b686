#include "bot/player.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>

#include "wire/session_state.h"

namespace bot {

namespace {

// Only a redraw of all five cards is sampled: its 1.5 million draws would
// take longer to count than all the other ways to draw together.
constexpr int kMaxExactDraw = 4;
constexpr int kSamples = 20000;

double drawChance(const Cards& hand, unsigned keep, const std::vector<double>& chance, Rng& rng) {
    const int drawn = 5 - std::popcount(keep);
    double sum = 0.0;
    int count = 0;
    if (drawn <= kMaxExactDraw) {
        forEachDraw(hand, keep, [&](const Cards& h) {
            sum += chance[strength(h)];
            ++count;
        });
        return sum / count;
    }
    // A partial shuffle of an already shuffled deck is as good as a fresh one.
    auto deck = unseenCards(hand);
    Cards h = hand;
    for (; count < kSamples; ++count) {
        for (int i = 0, p = 0; p < 5; ++p) {
            if (keep >> p & 1) continue;
            std::swap(deck[i], deck[std::uniform_int_distribution<int>(i, 46)(rng)]);
            h[p] = deck[i++];
        }
        sum += chance[strength(h)];
    }
    return sum / count;
}

bool inHand(std::int32_t state) {
    return state == wire::state::WaitChange || state == wire::state::WaitBet || state == wire::state::MakeBet;
}

// Bluffs to value bets such that bluffs make up size / (pot + 2 size) of the
// bets of that size: a caller then gains nothing by calling more or less often.
double balancedBluffOdds(double size, double pot) { return size / (pot + size); }

}  // namespace

void TableView::apply(const wire::srv::TableRow& row) {
    std::array<std::int32_t, kSeats>* column = nullptr;
    switch (row.field) {
        case wire::srv::SeatField::Ante: column = &ante; break;
        case wire::srv::SeatField::State: column = &state; break;
        case wire::srv::SeatField::Exchange: column = &exchange; break;
        case wire::srv::SeatField::Bank: column = &bank; break;
        default: return;
    }
    for (std::size_t i = 0; i < row.seats.size() && i < kSeats; ++i) (*column)[i] = row.seats[i].number;
}

std::optional<Style> styleNamed(std::string_view name) {
    if (name == "solid") return kSolid;
    if (name == "loose") return kLoose;
    if (name == "tight") return kTight;
    return std::nullopt;
}

std::vector<int> DrawChoice::discards() const {
    std::vector<int> positions;
    for (int p = 0; p < 5; ++p)
        if (!(keep >> p & 1)) positions.push_back(p);
    return positions;
}

std::vector<Opponent> Player::opponents(const TableView& table) const {
    std::vector<Opponent> result;
    for (int s = 0; s < kSeats; ++s)
        if (s != table.seat && inHand(table.state[s]))
            result.push_back({drawGroup(table.exchange[s]), table.ante[s] > kAnte, s < table.seat});
    return result;
}

DrawChoice Player::discard(const TableView& table) {
    const auto chance = winChances(opponents(table), 1.0);
    DrawChoice best{kKeepAll, -1.0};
    // Fewer cards drawn first, so that an equal chance keeps more cards.
    for (int kept = 5; kept >= 0; --kept) {
        for (unsigned keep = 0; keep <= kKeepAll; ++keep) {
            if (std::popcount(keep) != kept) continue;
            const double c = drawChance(table.cards, keep, chance, rng_);
            if (c > best.winChance + 1e-12) best = {keep, c};
        }
    }
    // Now and then stand pat on nothing and bluff it out: as often, next to
    // the real pat hands, as bluffs come among bets of the usual size.
    if (std::popcount(best.keep) <= 1) {
        const auto& model = DrawModel::get();
        const double snow = style_.bluffScale * balancedBluffOdds(style_.betShare, 1.0) * model.share(0) /
                            (model.share(4) + model.share(5));
        if (std::bernoulli_distribution(std::min(1.0, snow))(rng_))
            best = {kKeepAll, chance[strength(table.cards)], true};
    }
    return best;
}

double Player::bluffRate(const std::vector<double>& chance, int group, double size, double pot) const {
    // Our hands as the others see them: what a player who drew as we did holds.
    const auto hands = DrawModel::get().hands(group);
    double value = 0.0, weak = 0.0;
    for (std::size_t i = 0; i < chance.size(); ++i) {
        if (chance[i] >= style_.raiseAt) value += hands[i];
        if (chance[i] < 1.0 - style_.raiseAt) weak += hands[i];
    }
    const double bluffs = style_.bluffScale * balancedBluffOdds(size, pot) * value;
    if (bluffs <= 0.0) return 0.0;
    return bluffs >= weak ? 1.0 : bluffs / weak;
}

BetChoice Player::bet(const TableView& table) {
    const auto opp = opponents(table);
    if (opp.empty()) return {0, 1.0};
    std::int64_t pot = 0, top = 0;
    for (auto a : table.ante) {
        pot += a;
        top = std::max<std::int64_t>(top, a);
    }
    const std::int64_t toCall = top - table.ante.at(table.seat);
    const double price = toCall > 0 ? static_cast<double>(toCall) / static_cast<double>(pot + toCall) : 0.0;
    // A pot-sized raise (a price of a third) leaves a raiser his best
    // raiserRange of hands; a smaller one leaves him more.
    const double range = price > 0 ? std::min(1.0, style_.raiserRange / (3 * price)) : 1.0;
    const auto chance = winChances(opp, range);
    const double win = chance[strength(table.cards)];
    // Never more than the pot, nor more than we have left after the call
    // (banks may go below 0, but a war of pot-sized raises would take them
    // far below), nor more than everyone still in could call within 32 bits:
    // the server refuses such a raise.
    std::int64_t owed = 0;
    int players = 0;
    for (int s = 0; s < kSeats; ++s)
        if (s == table.seat || inHand(table.state[s])) owed += top - table.ante[s], ++players;
    const std::int64_t size =
        std::min<std::int64_t>({std::llround(style_.betShare * static_cast<double>(pot)), pot,
                                std::int64_t{table.bank.at(table.seat)} - toCall,
                                (std::numeric_limits<std::int32_t>::max() - pot - owed) / players});
    if (raises_ < kMaxOwnRaises && size >= 1) {
        bool bluff = false;
        // Bluff only as the opening bet, with the bottom of our range.
        if (win < 1.0 - style_.raiseAt && raises_ == 0 && toCall <= 0) {
            const double rate = bluffRate(chance, drawGroup(table.exchange.at(table.seat)),
                                          static_cast<double>(size), static_cast<double>(pot));
            bluff = std::bernoulli_distribution(rate)(rng_);
        }
        if (bluff || win >= style_.raiseAt) {
            ++raises_;
            return {static_cast<std::int32_t>(size), win, bluff};
        }
    }
    const bool call = toCall <= 0 || win >= style_.callPrice * price;
    return {call ? 0 : -1, win};
}

std::optional<std::int32_t> afterRefusal(std::int32_t refused) {
    if (refused > 0) return 0;
    if (refused == 0) return -1;
    return std::nullopt;
}

}  // namespace bot
