#pragma once
// A server window running in-process on a free loopback port, and line-based
// TCP clients that talk to it. Client and server share the event thread, so
// every wait runs the event loop, and every wait is bounded.

#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include <QHostAddress>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include "server/host/frm_main.h"

namespace server::testing {

inline constexpr int kWaitMs = 5000;

// Runs the event loop until `done` holds or the time is up.
template <typename Pred>
bool waitFor(Pred done, int timeoutMs = kWaitMs) {
    return QTest::qWaitFor(done, timeoutMs);
}

class LineClient {
public:
    explicit LineClient(quint16 port) {
        socket_.connectToHost(QHostAddress::LocalHost, port);
        waitFor([&] { return socket_.state() == QAbstractSocket::ConnectedState; });
    }

    bool connected() const { return socket_.state() == QAbstractSocket::ConnectedState; }
    quint16 localPort() const { return socket_.localPort(); }

    void send(const std::string& line) { sendRaw(line + "\r\n"); }

    void sendRaw(const std::string& bytes) {
        socket_.write(bytes.data(), static_cast<qint64>(bytes.size()));
        socket_.flush();
    }

    // The next line without its CR LF, or nothing when none came in time.
    std::optional<std::string> readLine(int timeoutMs = kWaitMs) {
        waitFor([&] { pull(); return buffer_.find("\r\n") != std::string::npos; }, timeoutMs);
        pull();
        const auto end = buffer_.find("\r\n");
        if (end == std::string::npos) return std::nullopt;
        std::string line = buffer_.substr(0, end);
        buffer_.erase(0, end + 2);
        return line;
    }

    // Reads lines until one starts with `prefix`; gives up after `limit` lines.
    std::optional<std::string> readUntil(const std::string& prefix, int limit = 50) {
        for (int i = 0; i < limit; ++i) {
            auto line = readLine();
            if (!line) return std::nullopt;
            if (line->rfind(prefix, 0) == 0) return line;
        }
        return std::nullopt;
    }

    void expectLines(const std::vector<std::string>& expected) {
        for (const auto& want : expected) {
            const auto got = readLine();
            ASSERT_TRUE(got.has_value()) << "no line arrived, wanted: " << want;
            EXPECT_EQ(*got, want);
        }
    }

    // The peer has closed the connection (bounded wait).
    bool waitClosed() {
        return waitFor([&] {
            pull();
            return socket_.state() == QAbstractSocket::UnconnectedState;
        });
    }

    // Everything received that has not been read as a line.
    const std::string& pending() {
        pull();
        return buffer_;
    }

    void disconnect() { socket_.disconnectFromHost(); }

private:
    void pull() {
        const QByteArray data = socket_.readAll();
        buffer_.append(data.constData(), static_cast<std::size_t>(data.size()));
    }

    QTcpSocket socket_;
    std::string buffer_;
};

// Deterministic shuffles, so a failing run can be replayed.
inline ServerCore::RandomFn seededRandom(unsigned seed) {
    auto engine = std::make_shared<std::mt19937>(seed);
    return [engine] { return std::generate_canonical<double, 32>(*engine); };
}

class HostTest : public ::testing::Test {
protected:
    void startHost(std::string commandLine = {}, HostHooks hooks = {}) {
        hooks.listenAddress = QHostAddress::LocalHost;
        if (!hooks.random) hooks.random = seededRandom(20240601u);
        if (!hooks.startTestClient) hooks.startTestClient = [] { return std::optional<std::string>{}; };
        if (!hooks.openUrl) hooks.openUrl = [](const std::string&) {};
        window = std::make_unique<frmMain>(0, std::move(commandLine), std::move(hooks));
        // Tests drive the monitor themselves.
        window->Timer1->stop();
        port = window->listeningPort();
        ASSERT_NE(port, 0);
    }

    void SetUp() override { startHost(); }

    void TearDown() override {
        clients.clear();
        window.reset();
    }

    // A connected client whose greeting has been read.
    LineClient& connectGreeted() {
        clients.push_back(std::make_unique<LineClient>(port));
        LineClient& c = *clients.back();
        EXPECT_TRUE(c.connected());
        c.expectLines({"HELLO\tQuorvane v0.924", "LOGIN"});
        return c;
    }

    // The slot whose connection is this client's.
    int slotOf(const LineClient& c) {
        for (int i = 1; i <= frmMain::kSlots; ++i)
            if (window->Winsock1(i).state() != 0 && window->Winsock1(i).peerPort() == c.localPort())
                return i;
        return 0;
    }

    std::vector<std::string> logLines() const {
        std::vector<std::string> lines;
        const std::string& text = window->logText();
        std::size_t start = 0;
        while (start <= text.size() && !text.empty()) {
            const auto end = text.find("\r\n", start);
            const auto line = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
            // Drop the "HH:NN:SS " stamp.
            lines.push_back(line.size() >= 9 ? line.substr(9) : line);
            if (end == std::string::npos) break;
            start = end + 2;
        }
        return lines;
    }

    bool waitForLog(const std::string& line) {
        return waitFor([&] {
            for (const auto& l : logLines())
                if (l == line) return true;
            return false;
        });
    }

    std::unique_ptr<frmMain> window;
    quint16 port = 0;
    std::vector<std::unique_ptr<LineClient>> clients;
};

}  // namespace server::testing
