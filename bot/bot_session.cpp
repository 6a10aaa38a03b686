#include "bot/bot_session.h"

#include <algorithm>
#include <iostream>
#include <string_view>
#include <utility>

#include "poker/cards.h"
#include "wire/framing.h"
#include "wire/messages.h"
#include "wire/session_state.h"

namespace bot {

namespace {

// The message boxes the client opens for these lines.
constexpr std::string_view kErrorBox = "ERROR: ";
constexpr std::string_view kWinnerBox = "WINNER is seat ";
// A bot without a seat this long after it started gives up.
constexpr int kSeatLimitMs = 10'000;
// The longest wait from the deal for the seats before ours to draw is our
// own longest think time, and at least this: a server with a turn time
// counts ours from the deal too.
constexpr int kMinDrawWaitMs = 1'000;

// Five different codes of the deck: anything else is no hand to judge.
bool isHand(const Cards& cards) {
    for (std::size_t i = 0; i < cards.size(); ++i) {
        if (!poker::isCardCode(cards[i])) return false;
        if (std::find(cards.begin() + i + 1, cards.end(), cards[i]) != cards.end()) return false;
    }
    return true;
}

std::int32_t stateOfText(const std::string& text) {
    for (std::int32_t s = wire::state::WaitLogin; s <= wire::state::MakeBet; ++s)
        if (wire::stateText(s) == text) return s;
    return wire::state::Void;
}

}  // namespace

BotSession::BotSession(SessionOptions options, QObject* parent)
    : QObject(parent),
      options_(std::move(options)),
      player_(options_.style, options_.seed),
      rng_(options_.seed),
      hand_(*this, *this),
      // No command line: the client asks for the name, as it asks a person.
      protocol_(*this, hand_, *this, *this, *this, ""),
      typed_(options_.name) {
    think_.setSingleShot(true);
    connect(&think_, &QTimer::timeout, this, &BotSession::answer);
    drawWait_.setSingleShot(true);
    drawWait_.setTimerType(Qt::PreciseTimer);  // not before the wait is over
    connect(&drawWait_, &QTimer::timeout, this, &BotSession::consider);
    connect(&socket_, &QTcpSocket::connected, this,
            [this] { socket_.setSocketOption(QAbstractSocket::LowDelayOption, 1); });
    connect(&socket_, &QTcpSocket::readyRead, this, &BotSession::receive);
    connect(&socket_, &QTcpSocket::disconnected, this, &BotSession::closed);
    connect(&socket_, &QTcpSocket::errorOccurred, this, [this] {
        if (!seated_ && socket_.state() != QAbstractSocket::ConnectedState)
            fail("cannot connect to " + server() + ": " + socket_.errorString().toStdString());
    });
}

BotSession::~BotSession() {
    // The socket outlives the members declared after it: none of its signals may reach them.
    socket_.disconnect(this);
    socket_.abort();
}

void BotSession::start() {
    socket_.connectToHost(QString::fromStdString(options_.host), options_.port);
    QTimer::singleShot(kSeatLimitMs, this, [this] {
        if (seated_) return;
        if (socket_.state() != QAbstractSocket::ConnectedState)
            return fail("cannot connect to " + server() + ": no answer");
        fail("no seat from the server at " + server() + ": no answer to the login or the game request");
    });
}

std::string BotSession::server() const { return options_.host + " port " + std::to_string(options_.port); }

// ---------------------------------------------------------------- receiving

void BotSession::receive() {
    while (!over_ && socket_.bytesAvailable() > 0) {
        const QByteArray chunk = socket_.readAll();
        protocol_.dataArrival(std::string_view(chunk.constData(), static_cast<std::size_t>(chunk.size())));
    }
    // The login has taken the name: now the game, as a person would pick it from the menu.
    if (!over_ && !gameChosen_ && typed_.empty()) chooseGame();
    consider();
}

void BotSession::closed() {
    if (!seated_) return fail("the server closed the connection before the bot had a seat");
    finish(0);
}

void BotSession::setSeatCell(int row, client::SeatColumn column, const std::string& text) {
    if (row < 0 || row >= kSeats) return;
    // The cells as the seat list shows them: an empty Bet is no ante, an empty
    // Exchanged no exchange yet.
    const auto number = [&text](std::int32_t blank) {
        return text.empty() ? blank : wire::parseNumber(text).value_or(blank);
    };
    switch (column) {
        case client::SeatColumn::Bet: view_.ante[row] = number(0); break;
        case client::SeatColumn::Exchanged: view_.exchange[row] = number(-1); break;
        case client::SeatColumn::State: view_.state[row] = stateOfText(text); break;
        // Bank is the report's last line.
        case client::SeatColumn::Bank:
            view_.bank[row] = number(0);
            reportSinceDeal_ |= row == kSeats - 1;
            break;
        default: break;
    }
}

void BotSession::showActionMode(client::ActionMode mode) {
    if (mode != client::ActionMode::CardChanging) return;
    // A deal: new cards, and a table report to follow.
    player_.newHand();
    thought_ = false;
    lastBet_.reset();
    dealtIn_ = true;
    reportSinceDeal_ = false;
    dealt_.start();
    drawWait_.start(drawWaitMs());
}

// The title names the seat the server has just given us.
void BotSession::setTitle(const std::string&) { seated_ = true; }

std::string BotSession::inputBox(const std::string&, const std::string&, const std::string&) {
    return std::exchange(typed_, {});
}

void BotSession::msgBox(const std::string& text) {
    if (text.starts_with(kWinnerBox)) {
        if (!std::exchange(dealtIn_, false)) return;
        ++handsPlayed_;
        if (options_.hands > 0 && handsPlayed_ >= options_.hands) leave();
    } else if (text.starts_with(kErrorBox)) {
        refused(text.substr(kErrorBox.size()));
    } else {
        say("the server sent a line no client knows: " + text);
    }
}

// "WORD", or "WORD (reason)" once the server gives reasons.
void BotSession::refused(const std::string& what) {
    const std::string word = what.substr(0, what.find(' '));
    if (!seated_) {
        if (word == wire::cmd::LOGIN) return fail("the server refused the name '" + options_.name + "'");
        if (word == wire::cmd::NEWGAME) return fail("the server has no free table for a new game");
        if (word == wire::cmd::JOINGAME)
            return fail("cannot join game " + std::to_string(options_.joinGame.value_or(0)) +
                        ": no such game, or its table is full");
    }
    ++errors_;
    say("the server answered ERROR " + what);
    // The table waits for our bet: a refused one is answered again.
    if (word != wire::cmd::BET || !lastBet_) return;
    lastBet_ = afterRefusal(*lastBet_);
    if (lastBet_ == 0) protocol_.cmdCall_Click();
    if (lastBet_ == -1) protocol_.cmdPass_Click();
}

// ------------------------------------------------------------------ playing

void BotSession::chooseGame() {
    gameChosen_ = true;
    if (options_.joinGame) {
        typed_ = std::to_string(*options_.joinGame);
        protocol_.mnuJoinGame_Click();
    } else {
        typed_ = options_.newGame;
        protocol_.mnuNewGame_Click();
    }
    typed_.clear();
}

void BotSession::consider() {
    if (over_ || think_.isActive() || !due()) return;
    if (thought_ && protocol_.mode() == client::ActionMode::CardChanging) {
        // Thought over, waiting for the seats before ours to draw.
        if (turnToDraw()) asked_.start(), answer();
        return;
    }
    thought_ = false;
    asked_.start();
    think_.start(std::uniform_int_distribution<int>(options_.thinkMinMs, options_.thinkMaxMs)(rng_));
}

bool BotSession::due() const {
    if (leaving_ || protocol_.MySeat < 0 || protocol_.MySeat >= kSeats) return false;
    // Alone at the table a hand is won by itself, and the next one dealt at
    // once: wait for someone to play against.
    bool company = false;
    for (int s = 0; s < kSeats; ++s) company |= s != protocol_.MySeat && view_.state[s] != wire::state::Void;
    if (!company) return false;
    switch (protocol_.mode()) {
        case client::ActionMode::Betting: return true;
        case client::ActionMode::CardChanging: return reportSinceDeal_;
        default: return false;
    }
}

// Cards are drawn in seat order, as at a real table: a seat's draw can tell
// the later seats something, and everyone's replacements come off the deck in
// the same order each time. Every seat thinks meanwhile, and a slow one is
// waited for only so long.
bool BotSession::turnToDraw() const {
    if (dealt_.isValid() && dealt_.elapsed() >= drawWaitMs()) return true;
    for (int s = 0; s < protocol_.MySeat; ++s)
        if (view_.state[s] == wire::state::WaitChange && view_.exchange[s] < 0) return false;
    return true;
}

int BotSession::drawWaitMs() const { return std::max(options_.thinkMaxMs, kMinDrawWaitMs); }

void BotSession::answer() {
    if (over_ || !due()) return;  // the table has moved on meanwhile; consider() starts again
    view_.seat = protocol_.MySeat;
    for (std::int16_t p = 0; p < 5; ++p) view_.cards[p] = hand_.Card(p);
    const bool known = isHand(view_.cards);
    const client::ActionMode asked = protocol_.mode();
    thought_ = asked == client::ActionMode::CardChanging && !turnToDraw();
    if (thought_) return;
    if (asked == client::ActionMode::CardChanging) {
        if (known)
            for (int p : player_.discard(view_).discards())
                hand_.CardHidden(static_cast<std::int16_t>(p)) = true;
        protocol_.cmdDone_Click();
    } else {
        const std::int32_t amount = known ? player_.bet(view_).amount : -1;
        lastBet_ = amount;
        if (amount < 0) {
            protocol_.cmdPass_Click();
        } else if (amount == 0) {
            protocol_.cmdCall_Click();
        } else {
            protocol_.cmdRaise_Click(std::to_string(amount));
        }
    }
    emit answered(asked, std::chrono::duration_cast<std::chrono::microseconds>(
                             std::chrono::nanoseconds(asked_.nsecsElapsed())));
}

// ------------------------------------------------------------ connection

bool BotSession::send(const std::string& bytes) {
    if (socket_.state() != QAbstractSocket::ConnectedState) return false;
    const auto size = static_cast<qint64>(bytes.size());
    return socket_.write(bytes.data(), size) == size;
}

void BotSession::leave() {
    leaving_ = true;
    think_.stop();
    protocol_.winsock_SendCmd(wire::logoutRequest());
    socket_.disconnectFromHost();  // after what is still to be written
}

void BotSession::fail(const std::string& reason) {
    if (over_) return;
    say(reason);
    finish(1);
}

void BotSession::finish(int exitCode) {
    if (std::exchange(over_, true)) return;
    think_.stop();
    if (errors_ > 0)
        say(std::to_string(errors_) + " ERROR answers in " + std::to_string(handsPlayed_) + " hands");
    socket_.abort();
    emit finished(exitCode);
}

void BotSession::say(const std::string& text) const {
    // Server text reaches a terminal or the journal: no control characters,
    // and Latin-1 in the terminal's own encoding.
    QString shown = QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
    for (QChar& c : shown)
        if (c.category() == QChar::Other_Control) c = u'?';
    std::cerr << "tessarin-bot " << options_.name << ": " << shown.toLocal8Bit().toStdString() << std::endl;
}

}  // namespace bot
