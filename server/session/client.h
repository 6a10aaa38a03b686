#pragma once
// One player session: the connection slot's socket, login, the dispatch of
// every command line, and the seat's player the tables read and write.

#include <cstdint>
#include <string>
#include <string_view>

#include "server/engine/player.h"
#include "server/session/socket.h"
#include "wire/framing.h"
#include "wire/parse.h"

namespace server {

class clsGame;
class ServerCore;

class clsClient final : public Player {
public:
    // `slot` is 1..10 for a connection slot, 0 for the void session (which has
    // no socket).
    clsClient(ServerCore& core, int slot, ISocket* socket);

    ISocket* const Winsock;

    std::string ClientStateText() const;
    int slot() const { return slot_; }

    void Reset();
    void winsock_Connect();
    void winsock_Disconnect();
    void winsock_DataArrival(long bytesTotal);

    void winsock_SendCmd(const std::string& s) override;
    void winsock_SendOk(const std::string& s);
    // The reason goes only to a session that asked for reasons.
    void winsock_SendError(std::string_view s, std::string_view reason = {});

    // What the session does with one request, as if it had arrived as a line.
    void handleRequest(const wire::Request& request);

private:
    bool ReadCmd(wire::Fields& fields);
    void handleLine(const wire::Fields& f);
    // Leaves the table the session sits at, if any (the table is told).
    void leaveTable();

    // One handler per request of a logged-in session.
    void handle(const wire::Empty&) {}
    void handle(const wire::req::Login&) {}  // already logged in
    void handle(const wire::req::Logout&);
    void handle(const wire::req::NewGame& r);
    void handle(const wire::req::JoinGame& r);
    void handle(const wire::req::Seat&);
    void handle(const wire::req::StartGame&);
    void handle(const wire::req::Exchange& r);
    void handle(const wire::req::Bet& r);
    void handle(const wire::req::Chat& r);
    void handle(const wire::req::Exit&) {}
    void handle(const wire::req::Unknown&) {}
    void handle(const wire::req::Features& r);
    void handle(const wire::req::Games&);
    void handle(const wire::Malformed& r);
    void login(const wire::req::Login& r);

    ServerCore& core_;
    const int slot_;
    wire::LineBuffer m_buffer;
};

}  // namespace server
