#include "server/session/client.h"

#include <exception>
#include <limits>
#include <stdexcept>

#include "server/engine/game.h"
#include "server/session/server_core.h"
#include "wire/messages.h"

namespace server {

namespace {

// Names are stored in lower case; the text is Latin-1, so the accented
// capitals lower-case too.
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
    : Winsock(socket), m_Game(&core.g_VoidGame), core_(core), slot_(slot) {
    Reset();
}

std::int16_t& clsClient::card(int PosNo) {
    if (PosNo < 0 || PosNo > 4) throw std::out_of_range("card position");
    return cards_[PosNo];
}

std::int16_t clsClient::card(int PosNo) const {
    if (PosNo < 0 || PosNo > 4) throw std::out_of_range("card position");
    return cards_[PosNo];
}

bool clsClient::IsBetting() const { return ClientState == WaitBet || ClientState == MakeBet; }

bool clsClient::InGame() const { return m_Game->Index >= 0; }

std::string clsClient::ClientStateText() const {
    switch (ClientState) {
        case Void: return "Void";
        case WaitLogin: return "WaitLogin";
        case GameSelect: return "GameSelect";
        case WaitStart: return "WaitStart";
        case WaitChange: return "WaitChange";
        case WaitBet: return "WaitBet";
        case MakeBet: return "MakeBet";
        default: return "UnknownState" + std::to_string(ClientState);
    }
}

void clsClient::Reset() {
    m_username.clear();
    m_Game = &core_.g_VoidGame;
    ClientState = Void;
    seatno = -1;
    Exchange = -1;
    Bank = kStartBank;
    m_buffer.clear();
}

void clsClient::LeaveTable() {
    if (!InGame()) return;
    clsGame& old = *m_Game;
    m_Game = &core_.g_VoidGame;
    seatno = -1;
    old.RemoveClient(*this);
}

void clsClient::winsock_Connect() {
    LeaveTable();  // a slot reused without a close must not inherit a seat
    Reset();
    ClientState = WaitLogin;
    winsock_SendCmd(wire::hello());
    winsock_SendCmd(wire::loginPrompt());
}

void clsClient::winsock_Disconnect() {
    if (Winsock) Winsock->close();
    LeaveTable();
    Reset();
}

void clsClient::winsock_DataArrival(long /*bytesTotal*/) {
    if (!Winsock) return;
    m_buffer.append(Winsock->readAll());
    wire::Fields fields;
    try {
        while (ReadCmd(fields)) {
            if (!fields.empty()) handleLine(fields);  // an empty line is ignored
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

void clsClient::winsock_SendError(const std::string& s) { winsock_SendCmd(wire::error(s)); }

bool clsClient::atTable() const { return InGame(); }

void clsClient::handleLine(const wire::Fields& f) {
    const std::string& c = f[0];
    if (m_username.empty()) {
        if (c != wire::cmd::LOGIN) {
            winsock_SendCmd(wire::loginPrompt());
            return;
        }
        cmdLogin(f);
        return;
    }
    if (c == wire::cmd::LOGOUT)
        cmdLogout();
    else if (c == wire::cmd::NEWGAME)
        cmdNewGame(f);
    else if (c == wire::cmd::JOINGAME)
        cmdJoinGame(f);
    else if (c == wire::cmd::SEAT)
        cmdSeat();
    else if (c == wire::cmd::STARTGAME)
        cmdStartGame();
    else if (c == wire::cmd::EXCHANGE)
        cmdExchange(f);
    else if (c == wire::cmd::BET)
        cmdBet(f);
    else if (c == wire::cmd::CHAT)
        cmdChat(f);
    // Any other word is ignored without a reply.
}

void clsClient::cmdLogin(const wire::Fields& f) {
    const std::string name = f.size() > 1 ? lowerLatin1(f[1]) : std::string();
    if (name.empty()) {
        winsock_SendError(std::string(wire::cmd::LOGIN));
        winsock_SendCmd(wire::loginPrompt());
        return;
    }
    m_username = name;
    ClientState = GameSelect;
    winsock_SendOk(std::string(wire::cmd::LOGIN));
}

void clsClient::cmdLogout() {
    LeaveTable();
    m_username.clear();
    ClientState = WaitLogin;
}

void clsClient::cmdSeat() { winsock_SendCmd(wire::seat(seatno)); }

void clsClient::seatAt(clsGame& game, int seat) {
    m_Game = &game;
    seatno = static_cast<std::int16_t>(seat);
}

void clsClient::cmdNewGame(const wire::Fields& f) {
    if (f.size() < 2) {
        winsock_SendError(std::string(wire::cmd::NEWGAME));
        return;
    }
    bool anyFree = false;
    for (int i = 1; i <= ServerCore::kGames; ++i) anyFree = anyFree || !core_.game(i).Active();
    if (!anyFree) {
        winsock_SendError(std::string(wire::cmd::NEWGAME));
        return;
    }
    LeaveTable();
    Ante = 0;
    const int n = core_.FindFreeGame(*this, f[1]);
    seatAt(core_.game(n), 0);
    winsock_SendCmd(wire::okNewGame(n));
    ClientState = WaitStart;
    winsock_SendCmd(wire::seat(0));
}

void clsClient::cmdJoinGame(const wire::Fields& f) {
    const auto n = f.size() > 1 ? wire::parseNumber(f[1]) : std::nullopt;
    if (!n || *n < 1 || *n > ServerCore::kGames) {
        winsock_SendError(std::string(wire::cmd::JOINGAME));
        return;
    }
    clsGame& g = core_.game(*n);
    bool hasRoom = false;
    for (int s = 0; s < g.SeatCount; ++s) hasRoom = hasRoom || !g.Occupied(s);
    if (!hasRoom) {
        winsock_SendError(std::string(wire::cmd::JOINGAME));
        return;
    }
    LeaveTable();
    Ante = 0;
    const int seat = g.AddClient(*this);
    seatAt(g, seat);
    winsock_SendOk(std::string(wire::cmd::JOINGAME));
    ClientState = WaitStart;
    winsock_SendCmd(wire::seat(seat));
}

void clsClient::cmdChat(const wire::Fields& f) {
    if (f.size() < 2) {
        winsock_SendError(std::string(wire::cmd::CHAT));
        return;
    }
    if (atTable()) m_Game->Broadcast(wire::chatLine(m_username, f[1]));
}

void clsClient::cmdStartGame() {
    if (!atTable()) return;
    m_Game->StartGame();
    ClientState = WaitChange;
}

void clsClient::cmdExchange(const wire::Fields& f) {
    if (!atTable()) return;
    // Only a player dealt into the running hand holds cards of this deck. A
    // late joiner (or anyone before the first deal) would otherwise join the
    // betting with stale cards that others at the table may hold too.
    const int seat = m_Game->SeatOf(*this);
    if (seat < 0 || !m_Game->DealtIn(seat)) {
        winsock_SendError(std::string(wire::cmd::EXCHANGE));
        return;
    }
    const std::size_t k = f.size() - 1;
    std::vector<int> positions;
    bool valid = k <= static_cast<std::size_t>(std::numeric_limits<std::int16_t>::max());
    for (std::size_t i = 1; i < f.size() && valid; ++i) {
        if (f[i].empty()) continue;
        const auto p = wire::parseNumber(f[i]);
        valid = p && *p >= 0 && *p <= 4;
        if (valid) positions.push_back(*p);
    }
    if (!valid) {
        winsock_SendError(std::string(wire::cmd::EXCHANGE));
        return;
    }
    clsGame& g = *m_Game;
    Exchange = static_cast<std::int16_t>(k);
    g.BroadcastAll();
    for (int p : positions) {
        g.Discard(*this, card(p));
        const std::int16_t c = g.DrawCard(*this);
        if (c >= 0) card(p) = c;
    }
    wire::Hand hand{};
    for (int p = 0; p < 5; ++p) hand[p] = card(p);
    winsock_SendCmd(wire::exchangedHand(hand));
    ClientState = WaitBet;
    g.NextGameAction();
}

void clsClient::cmdBet(const wire::Fields& f) {
    if (!atTable()) return;
    const auto a = f.size() > 1 ? wire::parseNumber(f[1]) : std::nullopt;
    if (!a) {
        winsock_SendError(std::string(wire::cmd::BET));
        return;
    }
    clsGame& g = *m_Game;
    if (*a < 0) {
        g.ClientPass(*this);
        return;
    }
    if (!g.BetInRange(*this, *a)) {
        winsock_SendError(std::string(wire::cmd::BET));
        return;
    }
    if (*a == 0) {
        g.ClientCall(*this);
    } else {
        g.ClientRaise(*this, *a);
    }
}

}  // namespace server
