#include "tests/load/line_peer.h"

#include <arpa/inet.h>
#include <cerrno>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>

namespace load {

int msLeft(std::chrono::steady_clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    return static_cast<int>(std::max<std::int64_t>(0, left.count()));
}

std::unique_ptr<LinePeer> LinePeer::connectTo(std::uint16_t port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return nullptr;
    const int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(port);
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0) {
        ::close(fd);
        return nullptr;
    }
    return std::make_unique<LinePeer>(fd);
}

LinePeer::~LinePeer() { close(); }

bool LinePeer::send(std::string_view line) {
    std::string framed(line);
    framed += "\r\n";
    return sendRaw(framed);
}

bool LinePeer::sendRaw(std::string_view bytes) {
    if (fd_ < 0) return false;
    while (!bytes.empty()) {
        const ssize_t n = ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

bool LinePeer::fill(int timeoutMs) {
    if (fd_ < 0 || ended_) return false;
    pollfd p{fd_, POLLIN, 0};
    int r;
    do {
        r = ::poll(&p, 1, timeoutMs);
    } while (r < 0 && errno == EINTR);
    if (r <= 0) return false;
    char chunk[16384];
    const ssize_t n = ::recv(fd_, chunk, sizeof chunk, 0);
    if (n <= 0) {
        if (n < 0 && (errno == EINTR || errno == EAGAIN)) return true;
        ended_ = true;
        return false;
    }
    buffer_.append(chunk, static_cast<std::size_t>(n));
    return true;
}

bool LinePeer::pump() {
    if (fd_ < 0 || ended_) return false;
    for (;;) {
        char chunk[16384];
        const ssize_t n = ::recv(fd_, chunk, sizeof chunk, MSG_DONTWAIT);
        if (n > 0) {
            buffer_.append(chunk, static_cast<std::size_t>(n));
            if (static_cast<std::size_t>(n) < sizeof chunk) return true;
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) return true;
        ended_ = true;
        return false;
    }
}

std::optional<std::string> LinePeer::takeLine() {
    const auto end = buffer_.find("\r\n");
    if (end == std::string::npos) return std::nullopt;
    std::string line = buffer_.substr(0, end);
    buffer_.erase(0, end + 2);
    return line;
}

std::optional<std::string> LinePeer::readLine(int timeoutMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        if (auto line = takeLine()) return line;
        if (!fill(msLeft(deadline))) return takeLine();
    }
}

std::optional<std::string> LinePeer::readUntil(std::string_view prefix, int maxLines, int timeoutMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (int i = 0; i < maxLines; ++i) {
        auto line = readLine(msLeft(deadline));
        if (!line) return std::nullopt;
        if (line->compare(0, prefix.size(), prefix) == 0) return line;
    }
    return std::nullopt;
}

bool LinePeer::waitClosedByServer(int timeoutMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!ended_) {
        const int left = msLeft(deadline);
        if (left == 0) return false;
        fill(left);
        buffer_.clear();
    }
    return true;
}

void LinePeer::close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

void LinePeer::resetConnection() {
    if (fd_ < 0) return;
    const linger l{1, 0};
    ::setsockopt(fd_, SOL_SOCKET, SO_LINGER, &l, sizeof l);
    close();
}

}  // namespace load
