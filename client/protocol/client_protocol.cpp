#include "client/protocol/client_protocol.h"

#include <algorithm>
#include <array>
#include <limits>
#include <optional>

#include "client/table/hand.h"
#include "wire/messages.h"

namespace client {

namespace {

constexpr std::int16_t kStateCardChanging = 4;
constexpr std::int16_t kStateMakingBet = 6;

std::string tabsAsSpaces(std::string_view text) {
    std::string shown(text);
    std::replace(shown.begin(), shown.end(), '\t', ' ');
    return shown;
}

std::optional<std::int16_t> parse16(std::string_view field) {
    const auto n = wire::parseNumber(field);
    if (!n || *n < std::numeric_limits<std::int16_t>::min() || *n > std::numeric_limits<std::int16_t>::max())
        return std::nullopt;
    return static_cast<std::int16_t>(*n);
}

// The five card codes of a deal or an exchange result, or nothing when the
// line does not carry five numbers.
std::optional<std::array<std::int16_t, 5>> handOf(const wire::Fields& fields) {
    if (fields.size() < 6) return std::nullopt;
    std::array<std::int16_t, 5> codes{};
    for (std::size_t p = 0; p < 5; ++p) {
        const auto code = parse16(fields[p + 1]);
        if (!code) return std::nullopt;
        codes[p] = *code;
    }
    return codes;
}

std::string trimSpaces(const std::string& text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

}  // namespace

ClientProtocol::ClientProtocol(IClientView& view, clsHand& hand, ILink& link, IDialogs& dialogs,
                               IDesktop& desktop, std::string commandLine)
    : view_(view),
      Hand(hand),
      link_(link),
      dialogs_(dialogs),
      desktop_(desktop),
      commandLine_(std::move(commandLine)) {}

// ---------------------------------------------------------------- receiving

void ClientProtocol::DataArrival(std::string_view chunk) {
    view_.AppendTrace(tabsAsSpaces(chunk));
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
    while (RecvBuffer.ReadCmd(fields)) HandleLine(fields);
    if (RecvBuffer.overflowed()) {
        const auto tail = RecvBuffer.text();
        skippedCR_ = !tail.empty() && tail.back() == '\r';
        RecvBuffer.dropPartial();
        skippingLine_ = true;
    }
}

void ClientProtocol::HandleLine(const wire::Fields& fields) {
    namespace cmd = wire::cmd;
    if (fields.empty()) return;  // an empty line means nothing
    const std::string& command = fields[0];
    if (command == cmd::LOGIN) {
        LoginAnswer();
    } else if (command == cmd::HELLO || command == cmd::OK) {
        // Only shown in the trace.
    } else if (command == cmd::ERROR) {
        dialogs_.MsgBox("ERROR: " + (fields.size() > 1 ? fields[1] : std::string()));
    } else if (command == cmd::STARTGAME) {
        deal(fields);
    } else if (command == cmd::EXCHANGE) {
        exchangeResult(fields);
    } else if (command == cmd::BET) {
        ShowActionControls(kStateMakingBet);
        view_.DrawAttention();
    } else if (command == cmd::WINNER) {
        if (fields.size() > 1) dialogs_.MsgBox("WINNER is seat " + fields[1]);
    } else if (command == cmd::SEAT_ANTE || command == cmd::SEAT_NAME || command == cmd::SEAT_STATE ||
               command == cmd::SEAT_EXCHANGE || command == cmd::SEAT_BANK) {
        seatColumn(fields);
    } else if (command == cmd::SEAT) {
        if (fields.size() < 2) return;
        const auto seat = parse16(fields[1]);
        if (!seat) return;
        MySeat = *seat;
        view_.SetTitle(std::string(wire::kClientTitle) + " - Seat " + std::to_string(MySeat));
    } else if (command == cmd::CHAT) {
        if (fields.size() > 1) view_.AppendChat("\r\n" + fields[1]);
    } else {
        std::string all = "UNKNOWN COMMAND:";
        for (const auto& f : fields) all += ' ' + f;
        dialogs_.MsgBox(all);
    }
}

void ClientProtocol::seatColumn(const wire::Fields& fields) {
    namespace cmd = wire::cmd;
    const std::string& command = fields[0];
    const std::size_t values = fields.size() - 1;
    if (values > static_cast<std::size_t>(wire::kSeatCount)) return;

    // Check the whole line first: a line that does not fit changes nothing.
    std::array<std::string, wire::kSeatCount> cells{};
    for (std::size_t i = 1; i <= values; ++i) {
        const std::string& field = fields[i];
        if (command == cmd::SEAT_NAME) {
            cells[i - 1] = field;
        } else if (command == cmd::SEAT_STATE) {
            const auto state = parse16(field);
            if (!state) return;
            cells[i - 1] = ClientStateText(*state);
        } else {
            const auto n = wire::parseNumber(field);
            if (!n) return;
            // The cell shows the field's own text, not a reformatted number.
            const bool shown = command == cmd::SEAT_ANTE ? *n > 0 : *n >= 0;
            cells[i - 1] = shown ? field : std::string();
        }
    }
    const SeatColumn column = command == cmd::SEAT_ANTE    ? SeatColumn::Bet
                              : command == cmd::SEAT_NAME  ? SeatColumn::Name
                              : command == cmd::SEAT_STATE ? SeatColumn::State
                              : command == cmd::SEAT_BANK  ? SeatColumn::Bank
                                                           : SeatColumn::Exchanged;
    for (std::size_t i = 0; i < values; ++i) view_.SetSeatCell(static_cast<int>(i), column, cells[i]);
}

void ClientProtocol::deal(const wire::Fields& fields) {
    const auto codes = handOf(fields);
    if (!codes) return;
    ShowActionControls(kStateCardChanging);
    // Read after the yield above: an Exit or a close made meanwhile counts now.
    if (ExitMode == 1) {
        ExitMode = 0;
        winsock_SendCmd(wire::exitRequest());
        // "Exiting after this round." meant it: the round is over, leave.
        view_.CloseWindow();
        return;
    }
    if (ExitMode == 2) {
        winsock_SendCmd(wire::exitRequest());
        Playing = false;
        view_.CloseWindow();
        return;
    }
    Playing = true;
    Hand.ClearHand();
    for (std::int16_t p = 0; p < 5; ++p) Hand.PutCard(p, (*codes)[p]);
    Hand.Check_Hand();
}

void ClientProtocol::exchangeResult(const wire::Fields& fields) {
    const auto codes = handOf(fields);
    if (!codes) return;
    // No ClearHand: unchanged cards stay on screen without a sound.
    for (std::int16_t p = 0; p < 5; ++p) Hand.PutCard(p, (*codes)[p]);
    Hand.Check_Hand();
    ShowActionControls(-1);
}

void ClientProtocol::LoginAnswer() {
    std::string userName;
    if (commandLine_.empty()) userName = dialogs_.InputBox("Enter username", "", "");
    if (commandLine_ == "-test") userName = "TestPlayer1";
    if (commandLine_ == "-test2") userName = "TestPlayer2";
    if (userName.empty()) return;
    winsock_SendCmd(wire::loginRequest(userName));
    if (commandLine_ == "-test") {
        winsock_SendCmd(wire::newGameRequest("TestGame"));
        desktop_.StartSecondCopy("-test2");
    } else if (commandLine_ == "-test2") {
        winsock_SendCmd(wire::joinGameRequest("1"));
        winsock_SendCmd(wire::startGameRequest());
    }
}

// ------------------------------------------------------------------ sending

void ClientProtocol::winsock_SendCmd(const std::string& cmd) {
    if (!link_.Send(wire::frame(cmd))) {
        view_.ShowStatus("winsock_SendCmd error");
        return;
    }
    view_.AppendTrace(">" + tabsAsSpaces(cmd) + "\r\n");
}

std::string ClientProtocol::ClientStateText(std::int16_t state) {
    switch (state) {
        case 0: return "";
        case 1: return "Waiting for Login";
        case 2: return "Select Game";
        case 3: return "Waiting for Game Start";
        case 4: return "Card Changing";
        case 5: return "Waiting for Bet";
        case 6: return "Making Bet";
        default: return "UnknownState" + std::to_string(state);
    }
}

void ClientProtocol::ShowActionControls(std::int16_t n) {
    mode_ = n == kStateCardChanging ? ActionMode::CardChanging
            : n == kStateMakingBet  ? ActionMode::Betting
                                    : ActionMode::Idle;
    view_.ShowActionMode(mode_);
}

// --------------------------------------------------------- player commands

void ClientProtocol::mnuNewGame_Click() {
    const std::string name = dialogs_.InputBox("Game name", "New Game", "test game");
    if (!name.empty()) winsock_SendCmd(wire::newGameRequest(name));
}

void ClientProtocol::mnuJoinGame_Click() {
    const std::string number = dialogs_.InputBox("Game number", "Join Game", "1");
    if (!number.empty()) winsock_SendCmd(wire::joinGameRequest(number));
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
    if (RequestExit()) view_.CloseWindow();
}

void ClientProtocol::cmdDone_Click() {
    std::vector<int> positions;
    for (std::int16_t p = 0; p < 5; ++p)
        if (Hand.CardHidden(p)) positions.push_back(p);
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

}  // namespace client
