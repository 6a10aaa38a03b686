#include "server/session/tests/invariants.h"

#include <algorithm>
#include <limits>
#include <set>
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
    const wire::ServerLine m = wire::parseServerLine(f);
    if (m.index() == 0 || std::holds_alternative<wire::Malformed>(m) ||
        std::holds_alternative<wire::srv::Unknown>(m))
        return "not a server message";
    // For every input: extension lines only to those who asked, cards only to their owner or at a showdown.
    wire::FeatureSet needs = f[0].starts_with("GAME") ? wire::kFeatureGames : wire::FeatureSet{0};
    if (f[0] == "TURN" || f[0] == "FOLD") needs = wire::kFeatureTurn;
    if (f[0] == "SHOWDOWN" || f[0] == "RESULT") needs = wire::kFeatureShowdown;
    if (f[0] == "ERROR" && f.size() > 2) needs = wire::kFeatureReasons;
    if ((owner->features & needs) != needs) return "a line not asked for";
    const clsGame& g = *owner->m_Game;
    const auto* deal = std::get_if<wire::srv::Deal>(&m);
    const auto* exchanged = std::get_if<wire::srv::Exchanged>(&m);
    if ((deal || exchanged) && (deal ? deal->cards : exchanged->cards) != hand(*owner)) return "not his hand";
    const auto* sd = std::get_if<wire::srv::Showdown>(&m);
    const Player* shown = sd ? seated(g, sd->seat) : nullptr;
    if (sd && (!shown || !shown->IsBetting() || hand(*shown) != sd->cards)) return "a wrong SHOWDOWN";
    const auto* report = std::get_if<wire::srv::TableRow>(&m);  // the table as it stands, every seat
    if (report && report->seats.size() != g.Seats.size()) return "a short report";
    if (report)
        for (std::size_t i = 0; i < report->seats.size(); ++i) {
            const Player& p = *g.Seats[i];
            const std::int32_t is[] = {p.Ante, 0, p.ClientState, p.Exchange, p.Bank};  // by SeatField
            const auto& [text, number] = report->seats[i];
            if (report->field == wire::srv::SeatField::Name ? text != p.m_username
                                                            : number != is[static_cast<int>(report->field)])
                return "a wrong report";
        }
    const auto* r = std::get_if<wire::srv::Result>(&m);
    const Player* w = r ? seated(g, r->seat) : nullptr;
    if (r && (!w || r->amount != std::min({pot(g), kMax - w->Bank, kMax}))) return "a wrong RESULT";
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
    // Chips stay on the server; one who connects or leaves brings or takes his bank only.
    const std::int64_t before = chips_ - (connection ? banks_[slot - 1] : 0);
    std::string fault;
    auto fail = [&](const std::string& what, int n = 0) {
        if (fault.empty()) fault = what + (n ? " " + std::to_string(n) : "");
    };
    if (voids(core_) != void_) fail("the void session or table changed");
    chips_ = 0;
    for (int i = 1; i <= ServerCore::kSlots; ++i) {
        const clsClient& c = core_.client(i);
        const auto* socket = dynamic_cast<const MemorySocket*>(c.Winsock);
        if (socket) fail(socket->fault);
        // Connected and not logged in: waiting for a name, with no extension agreed.
        if (socket && socket->st == ISocket::kConnected &&
            c.m_username.empty() != (c.ClientState == wire::state::WaitLogin && c.features == 0))
            fail("not logged in but not waiting for a name", i);
        if (c.InGame() ? c.m_Game->Seats[c.seatno] != &c : c.seatno != -1 || c.Ante != 0 || c.Exchange != -1)
            fail("a seat disagrees with player", i);
        banks_[i - 1] = c.Bank;
        if (!c.InGame()) chips_ += c.Bank;
    }
    for (int t = 1; t <= ServerCore::kGames; ++t) {
        const clsGame& g = core_.game(t);
        chips_ += g.chips() + g.abandonedChips;
        std::set<int> cards;
        for (int s = 0; s < 6; ++s) {
            if (!seated(g, s)) continue;
            const Player& p = *g.Seats[s];
            if (p.m_Game != &g || p.seatno != s) fail("a player disagrees with his seat at table", t);
            if (p.ClientState == wire::state::MakeBet && s != g.BetSeat) fail("off turn at table", t);
            for (int i = 0; i < 5 && g.dealtIn(p); ++i)
                if (!poker::isCardCode(p.card(i)) || !cards.insert(p.card(i)).second)
                    fail("a card twice at table", t);
        }
    }
    if (chips_ - (connection ? banks_[slot - 1] : 0) != before) fail("chips not conserved");
    return fault;
}

}  // namespace server::testing
