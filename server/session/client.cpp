#include "server/session/client.h"

#include <cassert>
#include <exception>
#include <variant>
#include <vector>

#include "server/engine/game.h"
#include "server/session/server_core.h"
#include "wire/messages.h"
#include "wire/session_state.h"

namespace server {

namespace {

// Names are stored in lower case; the text is Latin-1, so the accented
// capitals lower-case too (0xD7 is the multiplication sign, not a letter).
std::string lowerLatin1(const std::string& s) {
    std::string out = s;
    for (char& ch : out) {
        const auto c = static_cast<unsigned char>(ch);
        if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) ch = static_cast<char>(c + 0x20);
    }
    return out;
}

}  // namespace

clsClient::clsClient(ServerCore& core, int slot, ISocket* socket)
    : Player(core.g_VoidGame), Winsock(socket), core_(core), slot_(slot) {
    Reset();
}

std::string clsClient::ClientStateText() const { return wire::stateName(ClientState); }

// The table and seat are the table's to clear: a session is reset only
// after it has left its table.
void clsClient::Reset() {
    assert(!InGame());
    m_username.clear();
    ClientState = wire::state::Void;
    Exchange = -1;
    Bank = kStartBank;
    features = 0;
    m_buffer.clear();
}

void clsClient::leaveTable() {
    if (InGame()) m_Game->removeClient(*this);
}

void clsClient::winsock_Connect() {
    leaveTable();  // a slot reused without a close must not inherit a seat
    Reset();
    ClientState = wire::state::WaitLogin;
    winsock_SendCmd(wire::hello());
    winsock_SendCmd(wire::loginPrompt());
}

void clsClient::winsock_Disconnect() {
    if (Winsock) Winsock->close();
    leaveTable();
    Reset();
}

void clsClient::winsock_DataArrival(long /*bytesTotal*/) {
    if (!Winsock) return;
    m_buffer.append(Winsock->readAll());
    wire::Fields fields;
    try {
        while (ReadCmd(fields)) {
            handleLine(fields);
            if (Winsock->state() == ISocket::kClosed) return;
        }
    } catch (const std::exception& e) {
        // Not expected; the connection is dropped rather than the server.
        core_.WriteLog("Session error: index=" + std::to_string(slot_) + " err=" + e.what());
        winsock_Disconnect();
        return;
    }
    if (m_buffer.overflowed()) {
        core_.WriteLog("Receive buffer overflow: index=" + std::to_string(slot_));
        winsock_Disconnect();
    }
}

bool clsClient::ReadCmd(wire::Fields& fields) { return m_buffer.ReadCmd(fields); }

void clsClient::winsock_SendCmd(const std::string& s) {
    // Sends to a closed or failed connection are dropped.
    if (Winsock && Winsock->state() == ISocket::kConnected) Winsock->send(wire::frame(s));
}

void clsClient::winsock_SendOk(const std::string& s) { winsock_SendCmd(wire::ok(s)); }

void clsClient::winsock_SendError(std::string_view s, std::string_view reason) {
    winsock_SendCmd((features & wire::kFeatureReasons) && !reason.empty() ? wire::error(s, reason)
                                                                          : wire::error(s));
}

void clsClient::handleLine(const wire::Fields& f) { handleRequest(wire::parseRequest(f)); }

void clsClient::handleRequest(const wire::Request& request) {
    if (!m_username.empty()) {
        std::visit([this](const auto& r) { handle(r); }, request);
    } else if (const auto* r = std::get_if<wire::req::Login>(&request)) {
        login(*r);
    } else if (!std::holds_alternative<wire::Empty>(request)) {
        winsock_SendCmd(wire::loginPrompt());
    }
}

void clsClient::login(const wire::req::Login& r) {
    const std::string name = lowerLatin1(r.name);
    if (name.empty() || name.size() > wire::kMaxNameBytes) {
        winsock_SendError(wire::cmd::LOGIN);
        winsock_SendCmd(wire::loginPrompt());
        return;
    }
    m_username = name;
    ClientState = wire::state::GameSelect;
    winsock_SendOk(std::string(wire::cmd::LOGIN));
}

void clsClient::handle(const wire::Malformed& r) {
    // The hand commands of a player at no table go unanswered, well-formed or not.
    if (!InGame() && (r.word == wire::cmd::EXCHANGE || r.word == wire::cmd::BET)) return;
    winsock_SendError(r.word, "a field is missing or not a valid number");
}

void clsClient::handle(const wire::req::Logout&) {
    leaveTable();
    m_username.clear();
    ClientState = wire::state::WaitLogin;
    features = 0;  // the next login starts without the extension, like a new connection
}

void clsClient::handle(const wire::req::Features& r) {
    // The words agreed, in the order asked; a word asked twice is agreed once.
    std::vector<std::string> agreed;
    features = 0;
    for (const std::string& word : r.words) {
        const wire::FeatureSet bit = wire::featureBit(word);
        if (bit == 0 || (features & bit)) continue;
        features |= bit;
        agreed.push_back(word);
    }
    winsock_SendCmd(wire::featuresReply(agreed));
}

void clsClient::handle(const wire::req::Games&) {
    if (!(features & wire::kFeatureGames)) return;  // unasked, it is an unknown word
    for (int i = 1; i <= ServerCore::kGames; ++i) {
        const clsGame& g = core_.game(i);
        // A name as long as a request allows is cut so that the line stays
        // one a client reads (its other fields take at most 14 bytes).
        const std::string name = g.GameName.substr(0, wire::kMaxPendingBytes - 14);
        if (g.Active()) winsock_SendCmd(wire::gameEntry(i, name, g.playerCount(), g.handRunning()));
    }
    winsock_SendCmd(wire::gamesEnd());
}

void clsClient::handle(const wire::req::Seat&) { winsock_SendCmd(wire::seat(seatno)); }

void clsClient::handle(const wire::req::NewGame& r) {
    // Checked before leaving: a refused request leaves the player where he is.
    if (!core_.anyFreeGame()) {
        winsock_SendError(wire::cmd::NEWGAME, "every table is in use");
        return;
    }
    leaveTable();
    const int n = core_.FindFreeGame(*this, r.name);
    winsock_SendCmd(wire::okNewGame(n));
    ClientState = wire::state::WaitStart;
    winsock_SendCmd(wire::seat(seatno));
}

void clsClient::handle(const wire::req::JoinGame& r) {
    const std::string table = "table " + std::to_string(r.number);
    if (r.number < 1 || r.number > ServerCore::kGames) {
        winsock_SendError(wire::cmd::JOINGAME,
                          "there is no " + table + ": tables are 1 to " + std::to_string(ServerCore::kGames));
        return;
    }
    // Joining again would give up the seat and whatever hand is on it.
    if (m_Game == &core_.game(r.number)) {
        winsock_SendError(wire::cmd::JOINGAME, "you are at " + table + " already");
        return;
    }
    if (!core_.game(r.number).hasRoom()) {
        winsock_SendError(wire::cmd::JOINGAME, table + " is full");
        return;
    }
    leaveTable();
    core_.game(r.number).AddClient(*this);
    winsock_SendOk(std::string(wire::cmd::JOINGAME));
    ClientState = wire::state::WaitStart;
    winsock_SendCmd(wire::seat(seatno));
}

void clsClient::handle(const wire::req::Chat& r) {
    if (!InGame()) return;
    const std::string line = wire::chatLine(m_username, r.text);
    // A line no client would read is not relayed (clients drop longer lines).
    if (line.size() + wire::kLineEnd.size() > wire::kMaxPendingBytes) {
        winsock_SendError(wire::cmd::CHAT, "the message is too long");
        return;
    }
    m_Game->Broadcast(line);
}

void clsClient::handle(const wire::req::StartGame&) {
    if (!InGame()) return;
    m_Game->StartGame();
    ClientState = wire::state::WaitChange;
}

void clsClient::handle(const wire::req::Exchange& r) {
    if (!InGame()) return;
    clsGame& g = *m_Game;
    // Only a player dealt into the running hand holds cards of this deck. A
    // late joiner (or anyone before the first deal) would otherwise join the
    // betting with stale cards that others at the table may hold too.
    if (!g.dealtIn(*this)) {
        winsock_SendError(wire::cmd::EXCHANGE, "you were not dealt into this hand");
        return;
    }
    // One exchange a hand, before the betting: another would deal him a new hand.
    if (ClientState != wire::state::WaitChange) {
        winsock_SendError(wire::cmd::EXCHANGE, "you have exchanged already");
        return;
    }
    Exchange = r.count;
    g.BroadcastAll();
    for (int p : r.positions) g.replaceCard(*this, p);
    wire::Hand hand{};
    for (int p = 0; p < 5; ++p) hand[p] = card(p);
    winsock_SendCmd(wire::exchangedHand(hand));
    ClientState = wire::state::WaitBet;
    g.NextGameAction();
}

void clsClient::handle(const wire::req::Bet& r) {
    if (!InGame()) return;
    clsGame& g = *m_Game;
    // Only the player the betting waits for may bet: anyone else's bet would
    // take the turn from him, or end a round he has still to answer.
    if (!g.onTurn(*this)) {
        winsock_SendError(wire::cmd::BET, "it is not your turn");
    } else if (r.amount < 0) {
        g.ClientPass(*this);
    } else if (!g.betInRange(*this, r.amount)) {
        winsock_SendError(wire::cmd::BET, "the bet would take the pot or a bank past the chip limit");
    } else if (r.amount == 0) {
        g.ClientCall(*this);
    } else {
        g.ClientRaise(*this, r.amount);
    }
}

}  // namespace server
