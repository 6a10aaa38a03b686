#pragma once
// A player's end of a connection to 127.0.0.1: lines out with CR LF, lines in without. A plain socket, so
// any thread may use it; reads wait as wait.h does, and a send that cannot go on gives up after kWaitLimit.

#include <arpa/inet.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/wait.h"

namespace support {

class LineClient {
public:
    // Connects at once with the Nagle delay off; ended() when that failed.
    explicit LineClient(std::uint16_t port) : fd_(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0)) {
        const int one = 1;
        const timeval sendLimit{kWaitLimit.count() / 1000, 0};
        const sockaddr_in to{AF_INET, htons(port), {htonl(INADDR_LOOPBACK)}, {}};
        ::setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        ::setsockopt(fd_, SOL_SOCKET, SO_SNDTIMEO, &sendLimit, sizeof sendLimit);
        if (::connect(fd_, reinterpret_cast<const sockaddr*>(&to), sizeof to) != 0) close();
    }
    ~LineClient() { close(); }
    LineClient(const LineClient&) = delete;
    LineClient& operator=(const LineClient&) = delete;

    bool send(const std::string& line) { return sendRaw(line + "\r\n"); }
    bool sendRaw(const std::string& bytes) {  // passes everything on or fails
        return ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(bytes.size());
    }
    // The next line; nothing when none came within `limit` (0: only what arrived) or the connection ended.
    std::optional<std::string> readLine(Ms limit = kWaitLimit) {
        std::optional<std::string> line;
        pollfd readable{fd_, POLLIN, 0};
        waitUntil([&] { return (line = takeLine()) || ended(); }, limit,
                  [&](Ms left) { ::poll(&readable, 1, static_cast<int>(left.count())); });
        return line;
    }
    // Reads up to and including the next line that starts with `prefix`.
    std::optional<std::string> readUntil(const std::string& prefix, Ms limit = kWaitLimit) {
        while (auto line = readLine(limit))
            if (line->starts_with(prefix)) return line;
        return std::nullopt;
    }
    std::vector<std::string> readLines(std::size_t n) {  // "<missing>" for each that did not come
        std::vector<std::string> lines(n);
        for (auto& line : lines) line = readLine().value_or("<missing>");
        return lines;
    }
    bool waitEnded(Ms limit = kWaitLimit) {  // drops what comes until the other side closes
        while (readLine(limit)) continue;
        return ended();
    }
    void close() { ::close(std::exchange(fd_, -1)); }
    void reset() {  // an abortive close: the other side sees a reset
        const linger abortive{1, 0};
        ::setsockopt(fd_, SOL_SOCKET, SO_LINGER, &abortive, sizeof abortive);
        close();
    }
    bool ended() const { return fd_ < 0 || ended_; }
    int fd() const { return fd_; }
    std::uint16_t localPort() const {
        sockaddr_in at{};
        socklen_t size = sizeof at;
        return ::getsockname(fd_, reinterpret_cast<sockaddr*>(&at), &size) == 0 ? ntohs(at.sin_port) : 0;
    }

private:
    std::optional<std::string> takeLine() {  // the first whole line, taking in what has come if need be
        for (char chunk[65536]; buffer_.find("\r\n") == std::string::npos && !ended();) {
            const ssize_t n = ::recv(fd_, chunk, sizeof chunk, MSG_DONTWAIT);
            if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) break;
            if (n > 0) buffer_.append(chunk, static_cast<std::size_t>(n));
            ended_ = n == 0 || (n < 0 && errno != EINTR);
        }
        const auto end = buffer_.find("\r\n");
        if (end == std::string::npos) return std::nullopt;
        return std::exchange(buffer_, buffer_.substr(end + 2)).substr(0, end);
    }

    int fd_;
    bool ended_ = false;
    std::string buffer_;
};

}  // namespace support
