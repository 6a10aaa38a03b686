#include "server/session/tests/invariants.h"

#include <algorithm>
#include <limits>
#include <sstream>

#include "poker/cards.h"
#include "wire/parse.h"

namespace server::testing {
namespace {

template <typename... T>
std::string row(const T&... values) {
    std::ostringstream out;
    ((out << values << '|'), ...);
    return out.str() + "\n";
}

std::string describe(const Player& c) {
    return row(c.m_username, c.m_Game->Index, c.ClientState, c.seatno, c.Exchange, c.Bank, c.Ante, c.features,
               c.card(0), c.card(1), c.card(2), c.card(3), c.card(4));
}

std::string describe(const clsGame& g) {
    std::string d = row(g.Index, g.GameName, g.GameState, g.AnteStart, g.DeckPos, g.BetSeat, g.departedPot);
    for (auto c : g.Deck) d += std::to_string(c) + "|";
    for (const Player* p : g.Seats) d += row(static_cast<const clsClient*>(p)->slot());
    return d;
}

constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();

std::int64_t pot(const clsGame& g) {  // every stake of the hand, the departed players' too
    std::int64_t p = g.departedPot;
    for (const Player* o : g.Seats) p += o->Ante;  // an empty seat's void session stakes nothing
    return p;
}

const Player* seated(const clsGame& g, int seat) {  // the player in `seat`, or none
    return seat >= 0 && seat < 6 && g.occupied(seat) ? g.Seats[seat] : nullptr;
}

std::string voids(ServerCore& core) { return describe(core.g_VoidClient) + describe(core.g_VoidGame); }

wire::Hand hand(const Player& p) { return {p.card(0), p.card(1), p.card(2), p.card(3), p.card(4)}; }

}  // namespace

std::string MemorySocket::wrong(const wire::Fields& f) {
    using namespace wire::srv;
    const Player& to = *owner;
    const clsGame& g = *to.m_Game;  // a table sends only to its seated players
    const wire::ServerLine m = wire::parseServerLine(f);
    const bool toldTurn = std::exchange(toldTurn_, false);
    if (m.index() == 0 || std::holds_alternative<wire::Malformed>(m) || std::holds_alternative<Unknown>(m))
        return "not a server message";
    wire::FeatureSet needs = 0;  // what the extension's lines need
    if (f[0] == "TURN" || f[0] == "FOLD") needs = wire::kFeatureTurn;
    if (f[0] == "SHOWDOWN" || f[0] == "RESULT") needs = wire::kFeatureShowdown;
    if (f[0].starts_with("GAME")) needs = wire::kFeatureGames;
    if ((to.features & needs) != needs) return "a line not asked for";
    if (const auto* r = std::get_if<TableRow>(&m); r && r->seats.size() != 6) return "a short report";
    if (std::holds_alternative<BetPrompt>(m) &&
        (!to.IsBetting() || ((to.features & wire::kFeatureTurn) && !toldTurn)))
        return "BET not to a bettor told his turn";
    const auto* deal = std::get_if<Deal>(&m);
    const auto* exchanged = std::get_if<Exchanged>(&m);
    if ((deal || exchanged) && (f.size() != 6 || (deal ? deal->cards : exchanged->cards) != hand(to)))
        return "not his hand";
    if (const auto* w = std::get_if<Winner>(&m); w && (f.size() != 2 || !seated(g, w->seat.value_or(-1))))
        return "WINNER of no seat";
    if (const auto* t = std::get_if<Turn>(&m)) {
        const Player* p = seated(g, t->seat);
        std::int32_t top = 0;
        for (const Player* o : g.Seats) top = std::max(top, o->Ante);
        // A pot past 32 bits is told as the largest amount.
        if (!p || !p->IsBetting() || t->seat != g.BetSeat || t->toCall != top - p->Ante ||
            t->pot != std::min(pot(g), kMax))
            return "a wrong TURN";
        toldTurn_ = t->seat == to.seatno;
    }
    if (const auto* fold = std::get_if<Fold>(&m);
        fold && (!seated(g, fold->seat) || seated(g, fold->seat)->ClientState != wire::state::WaitStart))
        return "a wrong FOLD";
    if (const auto* sd = std::get_if<Showdown>(&m)) {
        const Player* p = seated(g, sd->seat);
        if (!p || !p->IsBetting() || hand(*p) != sd->cards || (!shown_.empty() && shown_.back() >= sd->seat))
            return "a wrong SHOWDOWN";
        shown_.push_back(sd->seat);
    }
    if (const auto* r = std::get_if<Result>(&m)) {
        // The winner takes the pot, or what of it his bank can hold; shown
        // were the cards of none or of every seat still betting, his too.
        std::vector<int> betting;
        for (int s = 0; s < 6; ++s)
            if (seated(g, s) && seated(g, s)->IsBetting()) betting.push_back(s);
        const Player* w = seated(g, r->seat);
        const auto shown = std::exchange(shown_, {});
        if (!w || r->amount != std::min({pot(g), kMax - w->Bank, kMax}) ||
            (shown.empty() ? !r->handName.empty() : shown != betting || shown.size() < 2 || !w->IsBetting()))
            return "a wrong RESULT";
    }
    return "";
}

void MemorySocket::send(std::string_view bytes) {
    if (st != kConnected) return;
    sent += bytes;
    wire::LineBuffer lines;
    lines.append(bytes);
    for (wire::Fields f; owner && fault.empty() && lines.ReadCmd(f);)
        if (const std::string what = wrong(f); !what.empty())
            fault = what + " to " + owner->m_username + ": " + std::string(bytes);
    if (owner && fault.empty() && (!lines.empty() || bytes.size() > wire::kMaxPendingBytes))
        fault = "a write a client cannot read whole";
}

std::string snapshot(ServerCore& core) {
    std::string d = voids(core);
    for (int i = 1; i <= ServerCore::kSlots; ++i) d += describe(core.client(i)) + describe(core.game(i));
    return d;
}

Invariants::Invariants(ServerCore& core) : core_(core), void_(voids(core)) {
    for (int i = 1; i <= ServerCore::kSlots; ++i)
        if (auto* socket = dynamic_cast<MemorySocket*>(core.client(i).Winsock))
            socket->owner = &core.client(i);
    check(true, 1);
}

std::string Invariants::check(bool connection, int slot) {
    const auto membersBefore = members_;
    const auto chipsBefore = chips_;
    const std::int64_t allBefore = allChips_, leaverBank = banks_[slot - 1];
    std::string fault;
    auto fail = [&](const std::string& what, int n = 0) {
        if (fault.empty()) fault = what + (n ? " " + std::to_string(n) : "");
    };
    if (voids(core_) != void_) fail("the void session or table changed");
    allChips_ = 0;
    for (int i = 1; i <= ServerCore::kSlots; ++i) {
        const clsClient& c = core_.client(i);
        if (const auto* socket = dynamic_cast<const MemorySocket*>(c.Winsock)) fail(socket->fault);
        if (c.InGame() ? c.m_Game->Seats[c.seatno] != &c : c.seatno != -1 || c.Ante != 0)
            fail("a seat disagrees with player", i);
        banks_[i - 1] = c.Bank;
        allChips_ += std::int64_t{c.Bank} + c.Ante;
    }
    for (int t = 1; t <= ServerCore::kGames; ++t) {
        const clsGame& g = core_.game(t);
        std::set<int> cards;
        auto& members = members_[t - 1];
        members.clear();
        for (int s = 0; s < 6; ++s) {
            if (!seated(g, s)) continue;
            const Player& p = *g.Seats[s];
            members.insert(&p);
            if (p.m_Game != &g || p.seatno != s) fail("a player disagrees with his seat at table", t);
            if (p.ClientState >= wire::state::WaitChange && p.ClientState <= wire::state::MakeBet &&
                !g.dealtIn(p))
                fail("a player in the hand was not dealt in at table", t);
            for (int i = 0; i < 5 && g.dealtIn(p); ++i)
                if (!poker::isCardCode(p.card(i)) || !cards.insert(p.card(i)).second)
                    fail("a card twice at table", t);
        }
        // Chips stay while the players stay; one who leaves takes his bank only.
        chips_[t - 1] = g.chips() + g.abandonedChips;
        allChips_ += g.departedPot + g.abandonedChips;
        auto rest = membersBefore[t - 1];
        const bool left = connection && rest.erase(&core_.client(slot)) && rest == members;
        const std::int64_t expected = chipsBefore[t - 1] - (left ? leaverBank : 0);
        if ((members == membersBefore[t - 1] || left) && chips_[t - 1] != expected)
            fail("chips changed at table", t);
    }
    if (!connection && allChips_ != allBefore) fail("chips not conserved");
    return fault;
}

}  // namespace server::testing
