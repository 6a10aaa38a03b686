#include "server/session/tests/invariants.h"

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
    return row(c.m_username, c.m_Game->Index, c.ClientState, c.seatno, c.Exchange, c.Bank, c.Ante, c.card(0),
               c.card(1), c.card(2), c.card(3), c.card(4));
}

std::string describe(const clsGame& g) {
    std::string d = row(g.Index, g.GameName, g.GameState, g.AnteStart, g.DeckPos, g.BetSeat, g.departedPot);
    for (auto c : g.Deck) d += std::to_string(c) + "|";
    for (const Player* p : g.Seats) d += row(static_cast<const clsClient*>(p)->slot());
    return d;
}

bool wrongLine(const Player& to, const wire::Fields& f) {
    const wire::ServerLine m = wire::parseServerLine(f);
    const auto* report = std::get_if<wire::srv::TableRow>(&m);
    const auto* deal = std::get_if<wire::srv::Deal>(&m);
    const auto* exchanged = std::get_if<wire::srv::Exchanged>(&m);
    const auto* winner = std::get_if<wire::srv::Winner>(&m);
    wire::Hand hand{};
    for (int p = 0; p < 5; ++p) hand[p] = to.card(p);
    return m.index() == 0 || std::holds_alternative<wire::Malformed>(m) ||
           std::holds_alternative<wire::srv::Unknown>(m) || (report && report->seats.size() != 6) ||
           (std::holds_alternative<wire::srv::BetPrompt>(m) && !to.IsBetting()) ||
           ((deal || exchanged) && (f.size() != 6 || (deal ? deal->cards : exchanged->cards) != hand)) ||
           (winner && (f.size() != 2 || winner->seat.value_or(-1) < 0 || *winner->seat > 5));
}

}  // namespace

void MemorySocket::send(std::string_view bytes) {
    if (st != kConnected) return;
    sent += bytes;
    wire::LineBuffer lines;
    lines.append(bytes);
    for (wire::Fields f; owner && fault.empty() && lines.ReadCmd(f);)
        if (wrongLine(*owner, f)) fault = "a wrong line to " + owner->m_username + ": " + std::string(bytes);
    if (owner && fault.empty() && !lines.empty()) fault = "a write that does not end in CR LF";
}

std::string snapshot(ServerCore& core) {
    std::string d = describe(core.g_VoidClient) + describe(core.g_VoidGame);
    for (int i = 1; i <= ServerCore::kSlots; ++i) d += describe(core.client(i)) + describe(core.game(i));
    return d;
}

Invariants::Invariants(ServerCore& core)
    : core_(core), void_(describe(core.g_VoidClient) + describe(core.g_VoidGame)) {
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
    if (describe(core_.g_VoidClient) + describe(core_.g_VoidGame) != void_)
        fail("the void session or table changed");
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
            if (!g.occupied(s)) continue;
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
