#pragma once
// A game table: six seats, the deck, the betting and the showdown.
// Tables and sessions refer to each other by non-owning pointers that are
// never null: an empty seat holds the void session, a session at no table
// the void table. Both kinds of object live as long as the server core.

#include <array>
#include <bitset>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace server {

class clsClient;
class clsGame;

// What every table shares with the rest of the server.
struct TableServices {
    clsClient* voidClient = nullptr;  // fills every empty seat
    clsGame* voidGame = nullptr;      // the table of sessions at no table
    std::function<double()> random;   // uniform in [0, 1)
    std::function<void(const std::string&)> log;
};

class clsGame {
public:
    static constexpr std::int32_t GameOpen = 0;
    static constexpr std::int32_t GameExchange = 1;
    static constexpr std::int32_t GameBetting = 2;
    static constexpr int kDeckSize = 52;

    explicit clsGame(TableServices& services);
    clsGame(const clsGame&) = delete;
    clsGame& operator=(const clsGame&) = delete;

    std::int32_t Index = -1;
    std::string GameName;
    std::int32_t GameState = GameOpen;
    std::int32_t AnteStart = 0;
    std::array<std::int16_t, kDeckSize> Deck{};
    std::int16_t DeckPos = 0;
    std::array<clsClient*, 6> Seats{};
    std::int16_t SeatCount = 6;
    std::int16_t BetSeat = 0;
    // Chips left in the pot by players who departed during a hand; they go to
    // the next winner at this table. 64-bit so carrying them can never overflow.
    std::int64_t DepartedPot = 0;

    void InitVoid();
    std::int32_t GetAnte() const;
    void BroadcastAnte();
    void BroadcastAll();
    void Broadcast(const std::string& s);
    bool Active() const;
    std::int32_t AddClient(clsClient& client);
    bool CreateGame(clsClient& client, const std::string& strGameName);
    void StartGame();
    std::int16_t GetCardFromDeck();
    void ClientPass(clsClient& client);
    void ClientCall(clsClient& client);
    void ClientRaise(clsClient& client, std::int32_t raise);
    void NextBet();
    void NextGameAction();

    // A card a player gives up in the exchange; it may come back into play
    // when the stock runs out during the same hand. Only cards this deck gave
    // the player count: a late joiner's old cards are not part of it.
    void Discard(const clsClient& from, std::int16_t card);
    // The next card for the player's exchange, or -1 when neither the stock
    // nor the discards hold one (he then keeps his card).
    std::int16_t DrawCard(const clsClient& to);
    // Whether the seat's player was dealt into the running hand.
    bool DealtIn(int seat) const { return Occupied(seat) && dealt_[seat]; }
    // Cards still in the stock (what GetCardFromDeck can hand out before the
    // discards are reshuffled).
    int StockLeft() const { return stockEnd_ - DeckPos; }

    // True when the seat holds a player (not the void session).
    bool Occupied(int seat) const;
    // The seat the client holds here, or -1.
    int SeatOf(const clsClient& client) const;
    // Whether a BET of `amount` (0 calls, positive raises) by `client` keeps
    // every ante, bank, the pot and any payout within 32 bits.
    bool BetInRange(const clsClient& client, std::int32_t amount) const;
    // The chips on this table: seated players' banks and antes plus the
    // departed players' pot.
    std::int64_t Chips() const;
    // The client leaves his seat at once: what he put into the hand stays in
    // the pot, the others see the seat empty, and a hand that waited for him
    // moves on. The client's table fields are left for the caller.
    void RemoveClient(clsClient& client);

private:
    void initTable();
    void PayWinner(std::int16_t seat);
    void Showdown();
    int bettingCount() const;
    int firstBettingSeat() const;
    bool anyoneToExchange() const;
    void shuffle(int count);
    std::int64_t pot() const;

    TableServices& services_;
    int stockEnd_ = kDeckSize;                      // Deck[DeckPos .. stockEnd_-1] is the stock
    std::vector<std::int16_t> discards_;            // this hand's discards
    std::array<bool, 6> dealt_{};                   // seats dealt into the running hand
    std::array<std::bitset<kDeckSize>, 6> held_{};  // cards this deck gave each seat
};

}  // namespace server
