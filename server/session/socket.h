#pragma once
// What a session needs of its connection. The host implements it over
// QTcpSocket; tests implement it in memory.

#include <string>
#include <string_view>

namespace server {

class ISocket {
public:
    static constexpr int kClosed = 0;
    static constexpr int kConnected = 7;
    static constexpr int kError = 9;

    virtual ~ISocket() = default;
    // 0 closed, 7 connected, 9 error; any other value means "not free".
    virtual int state() const = 0;
    // The whole text leaves as one write. Dropped without harm when not connected.
    virtual void send(std::string_view bytes) = 0;
    // Everything received and not yet read (Latin-1 bytes).
    virtual std::string readAll() = 0;
    // Harmless on a closed socket.
    virtual void close() = 0;
    virtual std::string peerAddress() const = 0;
    virtual int peerPort() const = 0;
};

}  // namespace server
