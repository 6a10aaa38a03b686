#pragma once
// A player's end of a connection to the server, over a plain blocking POSIX
// socket so it can run on a thread of its own while the server's event loop
// keeps the main thread. Every wait is bounded.

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace load {

class LinePeer {
public:
    // Connects to 127.0.0.1:port with the Nagle delay off; nullptr on failure.
    static std::unique_ptr<LinePeer> connectTo(std::uint16_t port);

    explicit LinePeer(int fd) : fd_(fd) {}
    ~LinePeer();
    LinePeer(const LinePeer&) = delete;
    LinePeer& operator=(const LinePeer&) = delete;

    int fd() const { return fd_; }

    // Sends the line with its CR LF; false when the connection has gone.
    bool send(std::string_view line);
    bool sendRaw(std::string_view bytes);

    // The next line without its CR LF; nothing on timeout, end of stream or error.
    std::optional<std::string> readLine(int timeoutMs = 5000);
    // Reads lines until one starts with `prefix` (bounded in lines and time).
    std::optional<std::string> readUntil(std::string_view prefix, int maxLines = 100, int timeoutMs = 5000);

    // Reads whatever has arrived without waiting; false once the peer has
    // closed or reset the connection.
    bool pump();
    // A complete line already received, if any.
    std::optional<std::string> takeLine();

    // Waits until the server ends the connection (data read meanwhile is
    // dropped). True on end of stream or reset, false on timeout.
    bool waitClosedByServer(int timeoutMs = 5000);

    bool atEnd() const { return ended_; }

    // An orderly close (FIN).
    void close();
    // An abortive close: SO_LINGER with zero time, so the peer sees a reset.
    void resetConnection();

private:
    // Reads once with a timeout; false on timeout or end.
    bool fill(int timeoutMs);

    int fd_ = -1;
    std::string buffer_;
    bool ended_ = false;
};

// Milliseconds left until `deadline` (0 once it has passed).
int msLeft(std::chrono::steady_clock::time_point deadline);

}  // namespace load
