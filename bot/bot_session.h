#pragma once
// A computer player's connection: the client's own line handling
// (client::ClientProtocol) with bot::Player's decisions in place of the window
// and the person in front of it. It learns what a player learns from the
// server (its cards, the table report, the prompts and the winner) and
// nothing else.

#include <chrono>
#include <cstdint>
#include <optional>
#include <random>
#include <string>

#include <QElapsedTimer>
#include <QObject>
#include <QTcpSocket>
#include <QTimer>

#include "bot/player.h"
#include "client/core/client_protocol.h"
#include "client/core/hand.h"
#include "client/core/ports.h"

namespace bot {

struct SessionOptions {
    std::string host = "127.0.0.1";
    std::uint16_t port = 9596;
    std::string name;                      // Latin-1, not empty
    std::optional<std::int32_t> joinGame;  // JOINGAME this number; otherwise
    std::string newGame;                   // NEWGAME with this name
    int thinkMinMs = 500;                  // each answer waits a uniform time in [min, max]
    int thinkMaxMs = 1500;
    int hands = 0;  // leave after this many hands played; 0 never
    std::uint64_t seed = 1;
    Style style = kSolid;
};

class BotSession : public QObject,
                   private client::IClientView,
                   private client::ISound,
                   private client::ILink,
                   private client::IDialogs,
                   private client::IDesktop {
    Q_OBJECT
public:
    explicit BotSession(SessionOptions options, QObject* parent = nullptr);
    ~BotSession() override;

    // Connects; everything else follows from what the server sends.
    void start();
    // ERROR answers since the bot was seated: each one is a fault of the bot.
    int errors() const { return errors_; }
    int handsPlayed() const { return handsPlayed_; }

signals:
    // Once: 0 after the server closed or the bot left after its hands; 1 when
    // it could not connect, log in or sit down (the reason is on stderr).
    void finished(int exitCode);
    // Each exchange (CardChanging) and bet (Betting) sent, with the time
    // since the server asked for it.
    void answered(client::ActionMode asked, std::chrono::microseconds waited);

private:
    void receive();
    void closed();
    // Starts the think time when the server waits for us.
    void consider();
    bool due() const;
    bool turnToDraw() const;
    int drawWaitMs() const;
    void answer();
    void chooseGame();
    void leave();
    void refused(const std::string& what);
    void fail(const std::string& reason);
    void finish(int exitCode);
    void say(const std::string& text) const;
    std::string server() const;  // "host port n"

    // IClientView: the seat list is the bot's view of the table.
    void setSeatCell(int row, client::SeatColumn column, const std::string& text) override;
    void showActionMode(client::ActionMode mode) override;
    void setTitle(const std::string& text) override;
    void appendTrace(const std::string&) override {}
    void appendChat(const std::string&) override {}
    void closeWindow() override {}
    void drawAttention() override {}
    void DrawCard(std::int16_t, std::int16_t) override {}
    void ShowStatus(const std::string&) override {}
    bool PlayWav(const std::string&) override { return false; }
    bool send(const std::string& bytes) override;
    // The prompts ask for what a person would type: the name, then the game.
    std::string inputBox(const std::string&, const std::string&, const std::string&) override;
    void msgBox(const std::string& text) override;
    void startSecondCopy(const std::string&) override {}

    SessionOptions options_;
    Player player_;
    std::mt19937_64 rng_;
    QTcpSocket socket_;
    QTimer think_;
    QElapsedTimer asked_;
    QElapsedTimer dealt_;
    QTimer drawWait_;
    client::clsHand hand_;
    client::ClientProtocol protocol_;
    TableView view_;

    std::string typed_;  // the answer to the next prompt
    bool gameChosen_ = false;
    bool seated_ = false;
    bool dealtIn_ = false;                 // holds cards of the running hand
    bool reportSinceDeal_ = false;         // the deal's table report has come
    bool thought_ = false;                 // the draw is thought over, the seats before ours awaited
    std::optional<std::int32_t> lastBet_;  // the last BET sent, while a refusal may come
    bool leaving_ = false;
    bool over_ = false;
    int errors_ = 0;
    int handsPlayed_ = 0;
};

}  // namespace bot
