#pragma once
// One player session: the connection slot's socket, login, state, table and
// seat, chips and cards, and the handling of every command line.

#include <array>
#include <cstdint>
#include <string>

#include "server/session/socket.h"
#include "wire/framing.h"

namespace server {

class clsGame;
class ServerCore;

class clsClient {
public:
    static constexpr std::int32_t Void = 0;
    static constexpr std::int32_t WaitLogin = 1;
    static constexpr std::int32_t GameSelect = 2;
    static constexpr std::int32_t WaitStart = 3;
    static constexpr std::int32_t WaitChange = 4;
    static constexpr std::int32_t WaitBet = 5;
    static constexpr std::int32_t MakeBet = 6;
    static constexpr std::int32_t kStartBank = 1000;

    // `slot` is 1..10 for a connection slot, 0 for the void session (which has
    // no socket).
    clsClient(ServerCore& core, int slot, ISocket* socket);
    clsClient(const clsClient&) = delete;
    clsClient& operator=(const clsClient&) = delete;

    ISocket* const Winsock;
    std::string m_username;
    clsGame* m_Game;
    std::int32_t ClientState = Void;
    std::int16_t seatno = -1;
    std::int16_t Exchange = -1;
    std::int32_t Bank = kStartBank;
    std::int32_t Ante = 0;

    std::int16_t& card(int PosNo);
    std::int16_t card(int PosNo) const;

    bool IsBetting() const;
    bool InGame() const;
    std::string ClientStateText() const;
    int Slot() const { return slot_; }

    void Reset();
    void winsock_Connect();
    void winsock_Disconnect();
    void winsock_DataArrival(long bytesTotal);

    void winsock_SendCmd(const std::string& s);
    void winsock_SendOk(const std::string& s);
    void winsock_SendError(const std::string& s);

    // Leaves the table the session sits at, if any (the table is told).
    void LeaveTable();

private:
    bool ReadCmd(wire::Fields& fields);
    void handleLine(const wire::Fields& f);
    void cmdLogin(const wire::Fields& f);
    void cmdLogout();
    void cmdSeat();
    void cmdNewGame(const wire::Fields& f);
    void cmdJoinGame(const wire::Fields& f);
    void cmdChat(const wire::Fields& f);
    void cmdStartGame();
    void cmdExchange(const wire::Fields& f);
    void cmdBet(const wire::Fields& f);
    void seatAt(clsGame& game, int seat);
    bool atTable() const;

    ServerCore& core_;
    const int slot_;
    std::array<std::int16_t, 5> cards_{};
    wire::LineBuffer m_buffer;
};

}  // namespace server
