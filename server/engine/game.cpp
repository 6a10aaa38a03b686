#include "server/engine/game.h"

#include <algorithm>
#include <cassert>
#include <limits>

#include "poker/hand_value.h"
#include "wire/messages.h"

namespace server {

namespace {

constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int64_t kMin = std::numeric_limits<std::int32_t>::min();

// The evaluator's name keeps a blank for each unused entry; the wire does not.
std::string trimmed(std::string name) {
    name.erase(name.find_last_not_of(' ') + 1);
    return name;
}

}  // namespace

// Every field but the seats starts as declared.
clsGame::clsGame(TableServices& services) : services_(services) { Seats.fill(services_.voidClient); }

// The void session's address is known before it is built, so the void
// table's seats hold it from the start; only the name is left to set.
void clsGame::InitVoid() { GameName = "VOID"; }

std::int32_t clsGame::GetAnte() const {
    std::int32_t a = 0;
    for (int i = 0; i < SeatCount; ++i) a = std::max(a, Seats[i]->Ante);
    return a;
}

void clsGame::Broadcast(const std::string& s) {
    for (int i = 0; i < SeatCount; ++i)
        if (occupied(i)) Seats[i]->winsock_SendCmd(s);
}

void clsGame::tell(wire::FeatureSet feature, const std::string& line) {
    for (int i = 0; i < SeatCount; ++i)
        if (occupied(i) && (Seats[i]->features & feature)) Seats[i]->winsock_SendCmd(line);
}

void clsGame::broadcastReport(const Player* except) {
    wire::TableValues v;
    for (int i = 0; i < SeatCount; ++i) {
        const Player& o = *Seats[i];
        v[i] = {o.Ante, o.m_username, o.ClientState, o.Exchange, o.Bank};
    }
    const std::string report = wire::tableReport(v);
    for (int i = 0; i < SeatCount; ++i)
        if (occupied(i) && Seats[i] != except) Seats[i]->winsock_SendCmd(report);
}

void clsGame::BroadcastAll() { broadcastReport(nullptr); }

void clsGame::BroadcastAnte() {
    wire::TableValues v;
    for (int i = 0; i < SeatCount; ++i) v[i].ante = Seats[i]->Ante;
    Broadcast(wire::seatAnteLine(v));
}

bool clsGame::Active() const {
    for (int i = 0; i < SeatCount; ++i)
        if (occupied(i)) return true;
    return false;
}

bool clsGame::hasRoom() const {
    for (int i = 0; i < SeatCount; ++i)
        if (!occupied(i)) return true;
    return false;
}

int clsGame::playerCount() const {
    int n = 0;
    for (int i = 0; i < SeatCount; ++i)
        if (occupied(i)) ++n;
    return n;
}

bool clsGame::handRunning() const {
    if (GameState == GameOpen) return false;
    for (int i = 0; i < SeatCount; ++i)
        if (occupied(i) && dealt_[i]) return true;
    return false;
}

std::int32_t clsGame::AddClient(Player& client) {
    assert(!client.InGame());
    for (int i = 0; i < SeatCount; ++i) {
        if (occupied(i)) continue;
        Seats[i] = &client;
        client.m_Game = this;
        client.seatno = static_cast<std::int16_t>(i);
        dealt_[i] = false;  // a newcomer waits for the next deal
        broadcastReport(&client);
        return i;
    }
    return -1;
}

std::chrono::steady_clock::time_point clsGame::now() const {
    return services_.now ? services_.now() : std::chrono::steady_clock::now();
}

bool clsGame::CreateGame(Player& client, const std::string& strGameName) {
    assert(!Active());  // a free table's seats are all empty already
    // Stakes left by a game everyone walked away from belong to nobody here.
    if (departedPot > 0 && services_.log)
        services_.log("Game " + std::to_string(Index) + ": " + std::to_string(departedPot) +
                      " chips of an abandoned hand cleared");
    abandonedChips += departedPot;
    departedPot = 0;
    AddClient(client);
    GameName = strGameName;
    GameState = GameOpen;
    return true;
}

void clsGame::StartGame() {
    AnteStart = 5;
    for (int i = 0; i < kDeckSize; ++i) Deck[i] = static_cast<std::int16_t>(i);
    services_.shuffle(Deck);
    DeckPos = 0;
    stockEnd_ = kDeckSize;
    discards_.clear();
    exchanger_ = nullptr;
    ownDiscards_ = 0;
    dealt_.fill(false);
    const auto dealtAt = now();
    for (int i = 0; i < SeatCount; ++i) {
        if (!occupied(i)) continue;  // the void player is never touched
        dealt_[i] = true;
        Player& o = *Seats[i];
        // A hand cut short by a new deal is a misdeal: each player gets back
        // what he put in. A paid hand has cleared the antes already.
        o.Bank = static_cast<std::int32_t>(std::min<std::int64_t>(kMax, std::int64_t{o.Bank} + o.Ante));
        o.Exchange = -1;
        o.ClientState = wire::state::WaitChange;
        o.turnSince = dealtAt;
        // The ante is taken in full unless the bank would leave the 32-bit range.
        o.Ante = static_cast<std::int32_t>(std::min<std::int64_t>(AnteStart, std::int64_t{o.Bank} - kMin));
        o.Bank -= o.Ante;
        wire::Hand hand{};
        for (int p = 0; p < 5; ++p) hand[p] = o.card(p) = GetCardFromDeck();
        o.winsock_SendCmd(wire::dealtHand(hand));
    }
    BetSeat = 0;
    GameState = GameExchange;
    BroadcastAll();
}

bool clsGame::dealtIn(const Player& client) const { return client.m_Game == this && dealt_[client.seatno]; }

bool clsGame::onTurn(const Player& client) const {
    return GameState == GameBetting && client.m_Game == this && client.seatno == BetSeat &&
           client.IsBetting();
}

void clsGame::replaceCard(Player& client, int pos) {
    assert(dealtIn(client));
    if (&client != exchanger_) {
        exchanger_ = &client;
        ownDiscards_ = discards_.size();
    }
    // Nothing left but his own discards: he keeps the card.
    if (DeckPos >= stockEnd_ && ownDiscards_ == 0) return;
    std::int16_t& card = client.card(pos);
    const std::int16_t given = card;
    card = GetCardFromDeck();
    discards_.push_back(given);
}

std::int16_t clsGame::GetCardFromDeck() {
    if (DeckPos >= stockEnd_) {
        // The stock is empty: the discards made before this player's exchange
        // become the new stock; his own wait for the next reshuffle.
        assert(ownDiscards_ > 0 && ownDiscards_ <= discards_.size());
        const auto earlier = discards_.begin() + static_cast<std::ptrdiff_t>(ownDiscards_);
        std::copy(discards_.begin(), earlier, Deck.begin());
        stockEnd_ = static_cast<int>(ownDiscards_);
        discards_.erase(discards_.begin(), earlier);
        ownDiscards_ = 0;
        DeckPos = 0;
        services_.shuffle(std::span(Deck.data(), stockEnd_));
    }
    return Deck[DeckPos++];
}

int clsGame::bettingCount() const {
    int n = 0;
    for (int i = 0; i < SeatCount; ++i)
        if (betting(i)) ++n;
    return n;
}

int clsGame::firstBettingSeat() const {
    for (int i = 0; i < SeatCount; ++i)
        if (betting(i)) return i;
    return -1;
}

bool clsGame::anyoneToExchange() const {
    for (int i = 0; i < SeatCount; ++i)
        if (occupied(i) && Seats[i]->ClientState == wire::state::WaitChange) return true;
    return false;
}

std::int64_t clsGame::pot() const {
    std::int64_t p = departedPot;
    for (int i = 0; i < SeatCount; ++i)
        if (occupied(i)) p += Seats[i]->Ante;
    return p;
}

std::int64_t clsGame::chips() const {
    std::int64_t c = departedPot;
    for (int i = 0; i < SeatCount; ++i)
        if (occupied(i)) c += std::int64_t{Seats[i]->Bank} + Seats[i]->Ante;
    return c;
}

bool clsGame::betInRange(const Player& client, std::int32_t amount) const {
    assert(amount >= 0);
    const std::int64_t newAnte = std::int64_t{GetAnte()} + amount;
    // Every player still betting must be able to call it: the pot they would
    // make (and so the new ante), each one's bank after his call, and the
    // winner's bank with that pot all stay within 32 bits.
    const auto inIt = [&](int seat) { return Seats[seat] == &client || betting(seat); };
    std::int64_t called = pot();
    for (int i = 0; i < SeatCount; ++i)
        if (inIt(i)) called += newAnte - Seats[i]->Ante;
    if (called > kMax) return false;
    for (int i = 0; i < SeatCount; ++i) {
        if (!inIt(i)) continue;
        const std::int64_t bank = std::int64_t{Seats[i]->Bank} - (newAnte - Seats[i]->Ante);
        if (bank < kMin || bank + called > kMax) return false;
    }
    return true;
}

void clsGame::ClientPass(Player& client) {
    const bool inHand =
        dealtIn(client) && (client.IsBetting() || client.ClientState == wire::state::WaitChange);
    client.ClientState = wire::state::WaitStart;
    if (inHand) tell(wire::kFeatureTurn, wire::fold(client.seatno));
    if (bettingCount() == 1) {
        PayWinner(static_cast<std::int16_t>(firstBettingSeat()));
        return;
    }
    BroadcastAnte();
    NextBet();
    NextGameAction();
}

void clsGame::ClientCall(Player& client) {
    const std::int32_t a = GetAnte();
    client.Bank -= a - client.Ante;
    client.Ante = a;
    for (int i = 0; i < SeatCount; ++i) {
        if (betting(i) && Seats[i]->Ante != a) {
            BroadcastAll();
            NextBet();
            NextGameAction();
            return;
        }
    }
    showdown();
}

void clsGame::ClientRaise(Player& client, std::int32_t raise) {
    const std::int32_t a = GetAnte() + raise;
    client.Bank -= a - client.Ante;
    client.Ante = a;
    BroadcastAll();
    NextBet();
    NextGameAction();
}

void clsGame::showdown() {
    int best = -1;
    poker::clsHandValue bestHand(services_.log);
    std::vector<std::string> shown;
    for (int i = 0; i < SeatCount; ++i) {
        if (!betting(i)) continue;
        poker::clsHandValue hv(services_.log);
        wire::Hand hand{};
        for (int p = 0; p < 5; ++p) hand[p] = hv.card(p) = Seats[i]->card(p);
        hv.Check_Hand();
        shown.push_back(wire::showdown(i, hand, trimmed(hv.HandName)));
        if (best == -1 || hv.WinsOf(bestHand).value_or(false)) {
            best = i;
            bestHand = hv;
        }
    }
    // Nobody betting: nobody is announced and nothing is paid. A lone bettor
    // wins as if the others had folded, and his cards stay private.
    if (shown.size() == 1) PayWinner(static_cast<std::int16_t>(best));
    if (shown.size() > 1) PayWinner(static_cast<std::int16_t>(best), shown, trimmed(bestHand.HandName));
}

void clsGame::NextBet() {
    const std::int16_t start = BetSeat;
    do {
        BetSeat = static_cast<std::int16_t>((BetSeat + 1) % SeatCount);
    } while (!betting(BetSeat) && BetSeat != start);
    if (BetSeat == start) {
        // No other player is betting: the one on turn wins and is paid like
        // any other winner. A lone player's fold ends his hand the same way
        // (he takes back his own stake), so the table deals on.
        if (betting(start) || (GameState == GameBetting && bettingCount() == 0 && dealt_[start]))
            PayWinner(start);
        return;
    }
    for (int i = 0; i < SeatCount; ++i)
        if (betting(i)) Seats[i]->ClientState = wire::state::WaitBet;
    Seats[BetSeat]->ClientState = wire::state::MakeBet;
}

void clsGame::NextGameAction() {
    if (GameState == GameExchange) {
        if (anyoneToExchange()) return;
        GameState = GameBetting;
        // The betting opens at the lowest seat of a betting player.
        const int first = firstBettingSeat();
        if (first >= 0) BetSeat = static_cast<std::int16_t>(first);
        NextGameAction();
    } else if (GameState == GameBetting) {
        if (!betting(BetSeat)) return;
        Player& p = *Seats[BetSeat];
        p.turnSince = now();
        // Every prompt, a repeated one too, is told with what it takes to call.
        // Amounts past 32 bits (stakes left by departed players can take the
        // pot there) are told as the largest one.
        tell(wire::kFeatureTurn,
             wire::turn(BetSeat, GetAnte() - p.Ante, static_cast<std::int32_t>(std::min(pot(), kMax))));
        p.winsock_SendCmd(wire::betPrompt());
    }
}

void clsGame::PayWinner(std::int16_t seat, const std::vector<std::string>& shown,
                        const std::string& handName) {
    if (seat < 0 || seat >= SeatCount || !occupied(seat)) return;
    Player& w = *Seats[seat];
    // Whatever would not fit the winner's bank stays in the pot for the next
    // hand, so no chip is lost.
    const std::int64_t total = pot();
    const std::int64_t paid = std::min(total, kMax - w.Bank);
    BroadcastAll();
    for (const std::string& line : shown) tell(wire::kFeatureShowdown, line);
    tell(wire::kFeatureShowdown,
         wire::result(seat, static_cast<std::int32_t>(std::min(paid, kMax)), handName));
    Broadcast(wire::winner(seat));
    w.Bank = static_cast<std::int32_t>(w.Bank + paid);
    departedPot = total - paid;
    for (int i = 0; i < SeatCount; ++i)
        if (occupied(i)) Seats[i]->Ante = 0;
    StartGame();
}

void clsGame::removeClient(Player& client) {
    if (client.m_Game != this) return;
    const int seat = client.seatno;
    const bool wasOnTurn = GameState == GameBetting && seat == BetSeat && client.IsBetting();
    const bool wasExchanging = client.ClientState == wire::state::WaitChange;
    Seats[seat] = services_.voidClient;
    client.m_Game = services_.voidGame;
    client.seatno = -1;
    departedPot += client.Ante;
    client.Ante = 0;
    // Seen at his next table as a player at none, not as he was here.
    client.ClientState = wire::state::GameSelect;
    client.Exchange = -1;
    BroadcastAll();
    const bool exchangeOver = GameState == GameExchange && wasExchanging && !anyoneToExchange();
    if (!exchangeOver && GameState != GameBetting) return;
    const int left = bettingCount();
    if (left == 0) {
        // Nobody of this hand is left: those who sat down during it get the
        // next one, with what the others left in its pot.
        if (Active()) StartGame();
    } else if (left == 1) {
        // One player left in the hand wins it, as after a fold.
        PayWinner(static_cast<std::int16_t>(firstBettingSeat()));
    } else if (exchangeOver) {
        NextGameAction();  // he was the last still to exchange: the betting begins
    } else if (wasOnTurn) {
        NextBet();
        NextGameAction();
    }
}

}  // namespace server
