#include "client/core/client_protocol.h"

#include <algorithm>
#include <utility>
#include <variant>
#include <vector>

#include "client/core/hand.h"
#include "wire/messages.h"

namespace client {

namespace {

namespace srv = wire::srv;

template <typename... Handlers>
struct Overloaded : Handlers... {
    using Handlers::operator()...;
};
template <typename... Handlers>
Overloaded(Handlers...) -> Overloaded<Handlers...>;

std::string trimSpaces(const std::string& text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

}  // namespace

std::string traceText(std::string_view chunk, std::size_t& column) {
    std::string shown;
    for (const char c : chunk) {
        if (c == '\n') {
            column = 0;
        } else if (c != '\r' && ++column > kMaxTraceLine) {
            if (column == kMaxTraceLine + 1) shown += " ...";
            continue;
        }
        shown += c == '\t' ? ' ' : c;
    }
    return shown;
}

ClientProtocol::ClientProtocol(IClientView& view, clsHand& hand, ILink& link, IDialogs& dialogs,
                               IDesktop& desktop, std::string commandLine, ISettings* settings)
    : view_(view),
      hand_(hand),
      link_(link),
      dialogs_(dialogs),
      desktop_(desktop),
      commandLine_(std::move(commandLine)),
      settings_(settings),
      table_(view) {}

// ---------------------------------------------------------------- receiving

void ClientProtocol::dataArrival(std::string_view chunk) {
    view_.appendTrace(traceText(chunk, traceColumn_));
    receive(chunk);
}

void ClientProtocol::receive(std::string_view chunk) {
    if (skippingLine_) {
        // The rest of an oversized line is dropped up to its CR LF, which may
        // itself be split between two chunks.
        if (skippedCR_ && !chunk.empty() && chunk.front() == '\n') {
            chunk.remove_prefix(1);
        } else {
            const auto end = chunk.find(wire::kLineEnd);
            if (end == std::string_view::npos) {
                if (!chunk.empty()) skippedCR_ = chunk.back() == '\r';
                return;
            }
            chunk.remove_prefix(end + wire::kLineEnd.size());
        }
        skippingLine_ = skippedCR_ = false;
    }
    RecvBuffer.append(chunk);
    // Each line leaves the buffer before it is handled, so a handler that
    // lets events run (and so more data arrive) never sees a line twice.
    wire::Fields fields;
    while (RecvBuffer.ReadCmd(fields)) handleLine(wire::parseServerLine(fields));
    if (RecvBuffer.overflowed()) {
        const auto tail = RecvBuffer.text();
        skippedCR_ = !tail.empty() && tail.back() == '\r';
        RecvBuffer.dropPartial();
        skippingLine_ = true;
    }
}

void ClientProtocol::handleLine(const wire::ServerLine& line) {
    std::visit(Overloaded{
                   [this](const srv::LoginPrompt&) { loginAnswer(); },
                   [this](const srv::Error& m) {
                       acknowledged(m.what, false);
                       const bool why = agreed(wire::kFeatureReasons) && !m.reason.empty();
                       dialogs_.msgBox("ERROR: " + m.what + (why ? " (" + m.reason + ")" : ""));
                   },
                   [this](const srv::Deal& m) { deal(m.cards); },
                   [this](const srv::Exchanged& m) { exchangeResult(m.cards); },
                   [this](const srv::BetPrompt&) {
                       ShowActionControls(wire::state::MakeBet);
                       view_.drawAttention();
                   },
                   [this](const srv::Winner& m) { winner(m); },
                   [this](const srv::TableRow& m) { seatColumn(m); },
                   [this](const srv::Seat& m) {
                       MySeat = m.seat;
                       view_.setTitle(std::string(wire::kClientTitle) + " - Seat " + std::to_string(MySeat));
                       table_.seat(MySeat);
                   },
                   [this](const srv::Chat& m) { view_.appendChat("\r\n" + m.text); },
                   [this](const srv::Unknown& m) {
                       std::string all = "UNKNOWN COMMAND:";
                       for (const auto& f : m.fields) all += ' ' + f;
                       dialogs_.msgBox(all);
                   },
                   [this](const srv::Ok& m) { acknowledged(m.what, true, m.number); },
                   // A new connection: no login yet, and the table of the last one is gone for good.
                   [this](const srv::Hello&) {
                       if (tableNumber_ > 0 || tableLeftInView_) {
                           clearTable();
                           view_.setTitle(std::string(wire::kClientTitle));
                       }
                       connectionClosed();
                       tableLeftInView_ = false;
                   },
                   // The extension's lines count only once agreed: from any
                   // other server they are a mistake, and quietly dropped.
                   [this](const srv::Features& m) { agreeFeatures(m.words); },
                   [this](const srv::Turn& m) {
                       if (agreed(wire::kFeatureTurn)) table_.turn(m);
                   },
                   [this](const srv::Fold& m) {
                       if (!agreed(wire::kFeatureTurn)) return;
                       table_.fold(m.seat);
                       // Folded by the server (his time ran out): nothing left to answer.
                       if (m.seat == MySeat) ShowActionControls(-1);
                   },
                   [this](const srv::Showdown& m) {
                       if (agreed(wire::kFeatureShowdown)) table_.showdown(m);
                   },
                   [this](const srv::Result& m) {
                       if (!agreed(wire::kFeatureShowdown)) return;
                       if (const std::string outcome = table_.result(m); !outcome.empty()) announce(outcome);
                   },
                   [this](const srv::Game& m) {
                       constexpr std::size_t kMaxGames = 100;  // the server has ten tables
                       if (agreed(wire::kFeatureGames) && !gamesAsked_.empty() && games_.size() < kMaxGames)
                           games_.push_back(m);
                   },
                   [this](const srv::GamesEnd&) {
                       if (agreed(wire::kFeatureGames)) gamesEnd();
                   },
                   // The server never sends these; they change nothing.
                   [](const wire::Empty&) {},
                   [](const wire::Malformed&) {},
               },
               line);
}

void ClientProtocol::seatColumn(const srv::TableRow& row) {
    using Field = srv::SeatField;
    const SeatColumn column = row.field == Field::Ante    ? SeatColumn::Bet
                              : row.field == Field::Name  ? SeatColumn::Name
                              : row.field == Field::State ? SeatColumn::State
                              : row.field == Field::Bank  ? SeatColumn::Bank
                                                          : SeatColumn::Exchanged;
    for (std::size_t i = 0; i < row.seats.size(); ++i) {
        const srv::SeatValue& value = row.seats[i];
        std::string cell;
        if (row.field == Field::Name) {
            cell = value.text;
        } else if (row.field == Field::State) {
            cell = table_.stateText(i, value.number);
        } else {
            // The cell shows the field's own text, not a reformatted number.
            // An empty seat reports a bank nobody owns.
            const bool shown = row.field == Field::Ante   ? value.number > 0
                               : row.field == Field::Bank ? value.number >= 0 && table_.seated(i)
                                                          : value.number >= 0;
            if (shown) cell = value.text;
        }
        view_.setSeatCell(static_cast<int>(i), column, cell);
    }
    table_.report(row);
}

void ClientProtocol::winner(const srv::Winner& m) {
    // The hand is recorded before any box opens: the next deal may arrive
    // while it is open.
    const bool announced = table_.hasResult();
    const std::string outcome = table_.winnerText(m);
    view_.addHistory(table_.handEnded(m));
    if (!agreed(wire::kFeatureShowdown)) return dialogs_.msgBox("WINNER is seat " + m.text);
    if (!announced) announce(outcome);
}

void ClientProtocol::announce(const std::string& outcome) {
    view_.showOutcome(outcome);
    view_.appendChat("\r\n" + outcome);
}

// A classic server ignores the request; one that knows it answers FEATURES.
void ClientProtocol::askFeatures() {
    featuresAsked_ = true;
    std::vector<std::string> words{std::string(wire::feature::kTurn)};
    // Without an outcome on screen, the WINNER box is all that ends a hand.
    if (view_.showsOutcome()) words.emplace_back(wire::feature::kShowdown);
    words.emplace_back(wire::feature::kGames);
    words.emplace_back(wire::feature::kReasons);
    offered_ = 0;
    for (const auto& word : words) offered_ |= wire::featureBit(word);
    winsock_SendCmd(wire::featuresRequest(words));
}

void ClientProtocol::agreeFeatures(const std::vector<std::string>& words) {
    if (!featuresAsked_) return;
    agreed_ = 0;
    for (const auto& word : words) agreed_ |= wire::featureBit(word) & offered_;
    learnGameName();
}

// A game joined by number (or before the server's answer to FEATURES) is named
// from the server's list, without showing it.
void ClientProtocol::learnGameName() {
    if (!agreed(wire::kFeatureGames) || tableNumber_ <= 0 || !gameName_.empty()) return;
    if (std::ranges::find(gamesAsked_, false) != gamesAsked_.end()) return;
    gamesAsked_.push_back(false);
    winsock_SendCmd(wire::gamesRequest());
}

void ClientProtocol::gamesEnd() {
    if (gamesAsked_.empty()) return;
    auto games = std::exchange(games_, {});
    const bool pick = gamesAsked_.front();
    gamesAsked_.pop_front();
    if (!pick) {
        for (const auto& g : games)
            if (g.number == tableNumber_ && gameName_.empty()) setTable(g.number, g.name);
        return;
    }
    // Several requests out: only the last answer is offered.
    if (std::ranges::find(gamesAsked_, true) != gamesAsked_.end()) return;
    if (games.empty()) {
        dialogs_.msgBox("No game is open on the server.");
        return askGameNumber();
    }
    std::vector<std::string> items;
    for (const auto& g : games)
        items.push_back(std::to_string(g.number) + (g.name.empty() ? "" : " " + g.name) + " - " +
                        std::to_string(g.players) + (g.players == 1 ? " player, " : " players, ") +
                        (g.players >= wire::kSeatCount ? "full, " : "") +
                        (g.running ? "playing" : "waiting"));
    const int chosen = dialogs_.chooseItem("Join which game?", items);
    if (chosen >= 0 && chosen < static_cast<int>(games.size()))
        joinGame(std::to_string(games[chosen].number), games[chosen].name);
}

void ClientProtocol::acknowledged(const std::string& what, bool ok, std::optional<std::int32_t> newGame) {
    if (what == wire::cmd::LOGIN && ok && !typedName_.empty() && settings_)
        settings_->setValue("userName", typedName_);
    if (what == wire::cmd::LOGIN && ok && loginSent_ && !featuresAsked_) askFeatures();
    if (what == wire::cmd::JOINGAME && !joinsUnanswered_.empty()) {
        const auto [number, name] = joinsUnanswered_.front();
        joinsUnanswered_.pop_front();
        if (ok) {
            setTable(number, name);
            learnGameName();
        }
    }
    if (!what.starts_with(wire::cmd::NEWGAME) || newGamesUnanswered_.empty()) return;
    const std::string name = newGamesUnanswered_.front();
    newGamesUnanswered_.pop_front();
    if (ok && newGame) setTable(*newGame, name);
}

void ClientProtocol::setTable(std::int32_t number, const std::string& name) {
    if (number != tableNumber_) {
        // Moved from one table to another: nothing of the old one stays in
        // view, and the new one is shown from its first report.
        if (tableNumber_ > 0 && number > 0) clearTable();
        table_.leave();
        tableNumber_ = number;
        view_.showTable(number);
    }
    if (name != gameName_) view_.showGameName(gameName_ = name);
}

void ClientProtocol::clearTable() {
    for (int row = 0; row < wire::kSeatCount; ++row)
        for (const SeatColumn column :
             {SeatColumn::Name, SeatColumn::State, SeatColumn::Exchanged, SeatColumn::Bank, SeatColumn::Bet})
            view_.setSeatCell(row, column, "");
    ShowActionControls(-1);
    hand_.ClearHand();
    view_.ShowStatus("");  // the old hand's name
    view_.showOutcome("");
}

void ClientProtocol::deal(const wire::Hand& cards) {
    ShowActionControls(wire::state::WaitChange);
    // Read after the yield above: an Exit or a close made meanwhile counts now.
    if (ExitMode == 1) {
        ExitMode = 0;
        winsock_SendCmd(wire::exitRequest());
        // "Exiting after this round." meant it: the round is over, leave.
        view_.closeWindow();
        return;
    }
    if (ExitMode == 2) {
        winsock_SendCmd(wire::exitRequest());
        Playing = false;
        view_.closeWindow();
        return;
    }
    Playing = true;
    table_.deal(cards);
    hand_.ClearHand();
    for (std::int16_t p = 0; p < wire::kHandSize; ++p) hand_.PutCard(p, cards[p]);
    hand_.Check_Hand();
}

void ClientProtocol::exchangeResult(const wire::Hand& cards) {
    // Before the cards: the BET prompt may arrive while they are drawn, and
    // its controls must stay.
    ShowActionControls(-1);
    // No ClearHand: unchanged cards stay on screen without a sound.
    table_.exchanged(cards);
    for (std::int16_t p = 0; p < wire::kHandSize; ++p) {
        hand_.PutCard(p, cards[p]);
        // A marked card the server left (the stock ran out, or his time did)
        // is his again.
        if (std::exchange(hand_.CardHidden(p), false)) hand_.DrawCard(p);
    }
    hand_.Check_Hand();
}

void ClientProtocol::loginAnswer() {
    std::string userName;
    if (commandLine_.empty())
        userName = dialogs_.inputBox("Enter username", "", settings_ ? settings_->value("userName") : "");
    if (commandLine_ == "-test") userName = "TestPlayer1";
    if (commandLine_ == "-test2") userName = "TestPlayer2";
    if (userName.empty()) return;
    winsock_SendCmd(wire::loginRequest(userName));
    loginSent_ = true;
    typedName_ = commandLine_.empty() ? userName : "";  // test players are not remembered
    if (commandLine_ == "-test") {
        newGame("TestGame");
        desktop_.startSecondCopy("-test2");
    } else if (commandLine_ == "-test2") {
        joinGame("1");
        winsock_SendCmd(wire::startGameRequest());
    }
}

// ------------------------------------------------------------------ sending

void ClientProtocol::winsock_SendCmd(const std::string& cmd) {
    if (!link_.send(wire::frame(cmd))) {
        view_.ShowStatus("winsock_SendCmd error");
        return;
    }
    view_.appendTrace(traceText(">" + cmd + "\r\n", traceColumn_));
}

void ClientProtocol::ShowActionControls(std::int16_t n) {
    mode_ = n == wire::state::WaitChange ? ActionMode::CardChanging
            : n == wire::state::MakeBet  ? ActionMode::Betting
                                         : ActionMode::Idle;
    view_.showActionMode(mode_);
}

// --------------------------------------------------------- player commands

void ClientProtocol::mnuNewGame_Click() {
    const std::string name = dialogs_.inputBox("Game name", "New Game", "test game");
    if (!name.empty()) newGame(name);
}

void ClientProtocol::newGame(const std::string& name) {
    winsock_SendCmd(wire::newGameRequest(name));
    if (loginSent_) newGamesUnanswered_.push_back(name);
}

void ClientProtocol::mnuJoinGame_Click() {
    if (!agreed(wire::kFeatureGames)) return askGameNumber();
    gamesAsked_.push_back(true);
    winsock_SendCmd(wire::gamesRequest());
}

void ClientProtocol::askGameNumber() {
    const std::string number = dialogs_.inputBox("Game number", "Join Game", "1");
    if (!number.empty()) joinGame(number);
}

void ClientProtocol::joinGame(const std::string& number, const std::string& name) {
    winsock_SendCmd(wire::joinGameRequest(number));
    if (loginSent_) joinsUnanswered_.emplace_back(wire::parseNumber(number).value_or(0), name);
}

void ClientProtocol::mnuStartGame_Click() { winsock_SendCmd(wire::startGameRequest()); }

bool ClientProtocol::RequestExit() {
    ExitMode = 1;
    winsock_SendCmd(wire::exitRequest());
    if (!Playing) return true;
    view_.ShowStatus("Exiting after this round.");
    return false;
}

void ClientProtocol::mnuExit_Click() {
    if (RequestExit()) view_.closeWindow();
}

void ClientProtocol::cmdDone_Click() {
    std::vector<int> positions;
    for (std::int16_t p = 0; p < wire::kHandSize; ++p)
        if (hand_.CardHidden(p)) positions.push_back(p);
    winsock_SendCmd(wire::exchangeRequest(positions));
    ShowActionControls(-1);
}

void ClientProtocol::cmdPass_Click() {
    ShowActionControls(-1);
    winsock_SendCmd(wire::betRequest("-1"));
}

void ClientProtocol::cmdCall_Click() {
    ShowActionControls(-1);
    winsock_SendCmd(wire::betRequest("0"));
}

void ClientProtocol::cmdRaise_Click(const std::string& amount) {
    ShowActionControls(-1);
    winsock_SendCmd(wire::betRequest(amount));
}

void ClientProtocol::txtChat_Enter(const std::string& text) {
    const std::string message = trimSpaces(text);
    if (!message.empty()) winsock_SendCmd(wire::chatRequest(message));
}

void ClientProtocol::Form_Unload() { ExitMode = 2; }

void ClientProtocol::connectionClosed() {
    // A closed connection leaves its table on screen until the next one begins.
    tableLeftInView_ = tableLeftInView_ || tableNumber_ > 0;
    traceColumn_ = 0;
    // No round left to wait for: an Exit asked for in it is due now, a later one at once.
    Playing = false;
    if (ExitMode == 1) {
        ExitMode = 0;
        view_.closeWindow();
    }
    loginSent_ = featuresAsked_ = false;
    agreed_ = 0;
    gamesAsked_.clear();
    games_.clear();
    joinsUnanswered_.clear();
    newGamesUnanswered_.clear();
    table_.leave();  // also a table the client never learnt the number of
    setTable(0, "");
}

}  // namespace client
