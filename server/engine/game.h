#pragma once
// A game table: six seats, the deck, the betting and the showdown.
// A seat and its player refer to each other by non-owning pointers that are
// never null: an empty seat holds the void player, a player at no table the
// void table. The table alone sets both sides when it seats or removes one.

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "server/engine/player.h"

namespace server {

// Puts the cards in a random order, in place.
using ShuffleFn = std::function<void(std::span<std::int16_t>)>;

// What every table shares with the rest of the server.
struct TableServices {
    Player* voidClient = nullptr;  // fills every empty seat
    clsGame* voidGame = nullptr;   // the table of players at no table
    ShuffleFn shuffle;             // for the deal and for reshuffling discards
    std::function<void(const std::string&)> log;
    std::function<std::chrono::steady_clock::time_point()> now;  // the steady clock when empty
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
    std::array<Player*, 6> Seats{};
    std::int16_t SeatCount = 6;
    std::int16_t BetSeat = 0;
    // Chips left in the pot by players who departed during a hand; they go to
    // the next winner at this table. 64-bit so carrying them can never overflow.
    std::int64_t departedPot = 0;
    // Departed players' stakes that a new game cleared because nobody was
    // left to win them: the table's chip account.
    std::int64_t abandonedChips = 0;

    void InitVoid();
    std::int32_t GetAnte() const;
    void BroadcastAnte();
    void BroadcastAll();
    void Broadcast(const std::string& s);
    bool Active() const;
    // Seats the player in the lowest free seat (his m_Game and seatno are set
    // here) and returns it, or -1 when the table is full. The newcomer hears
    // the table from its next report on.
    std::int32_t AddClient(Player& client);
    // Only for a table that is not Active.
    bool CreateGame(Player& client, const std::string& strGameName);
    void StartGame();
    std::int16_t GetCardFromDeck();
    void ClientPass(Player& client);
    void ClientCall(Player& client);
    void ClientRaise(Player& client, std::int32_t raise);
    void NextBet();
    void NextGameAction();

    // True when the seat holds a player (not the void player).
    bool occupied(int seat) const { return Seats[seat] != services_.voidClient; }
    // Whether a seat is free for a joiner.
    bool hasRoom() const;
    int playerCount() const;
    // Whether a hand is under way with someone dealt into it still seated.
    bool handRunning() const;
    // Whether the player sits here and was dealt into the running hand.
    bool dealtIn(const Player& client) const;
    // Whether the betting waits for this player (the first bettor of a round
    // is asked without becoming MakeBet).
    bool onTurn(const Player& client) const;
    // The exchange of one card: the player gives up the card at `pos` and
    // draws the next one. When the stock is empty this hand's discards are
    // reshuffled into a new one; a player never gets a card someone holds.
    void replaceCard(Player& client, int pos);
    // Whether a BET of `amount` (0 calls, positive raises) by `client` keeps
    // every ante, bank, the pot and any payout within 32 bits, also once
    // every other player still betting has called it.
    bool betInRange(const Player& client, std::int32_t amount) const;
    // The chips on this table: seated players' banks and antes plus the
    // departed players' pot.
    std::int64_t chips() const;
    // The player leaves his seat at once (m_Game becomes the void table):
    // what he put into the hand stays in the pot, the others see the seat
    // empty, and a hand that waited for him moves on.
    void removeClient(Player& client);

private:
    // `shown`: the SHOWDOWN lines of a showdown and the winner's hand name;
    // none for a hand won because everyone else folded or left.
    void PayWinner(std::int16_t seat, const std::vector<std::string>& shown = {},
                   const std::string& handName = {});
    // The line to every seated player who agreed to `feature`.
    void tell(wire::FeatureSet feature, const std::string& line);
    void showdown();
    bool betting(int seat) const { return occupied(seat) && Seats[seat]->IsBetting(); }
    int bettingCount() const;
    int firstBettingSeat() const;
    bool anyoneToExchange() const;
    std::int64_t pot() const;
    void broadcastReport(const Player* except);
    std::chrono::steady_clock::time_point now() const;

    TableServices& services_;
    int stockEnd_ = kDeckSize;            // Deck[DeckPos .. stockEnd_-1] is the stock
    std::vector<std::int16_t> discards_;  // this hand's discards
    // The player exchanging now, and where his own discards begin: they stay
    // out of a reshuffle so nobody draws back what he has just thrown away.
    const Player* exchanger_ = nullptr;
    std::size_t ownDiscards_ = 0;
    std::array<bool, 6> dealt_{};       // seats dealt into the running hand
};

}  // namespace server
