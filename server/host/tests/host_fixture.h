#pragma once
// A server window running in-process on a free loopback port, and line-based
// TCP clients that talk to it. Client and server share the event thread, so
// every wait runs the event loop, and every wait is bounded.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>

#include "server/host/frm_main.h"
#include "server/session/tests/harness.h"

namespace server::testing {

template <typename Pred>
bool waitFor(Pred done) {
    return QTest::qWaitFor(done, 5000);
}

class LineClient {
public:
    explicit LineClient(quint16 port) {
        socket.connectToHost(QHostAddress::LocalHost, port);
        waitFor([&] { return socket.state() == QAbstractSocket::ConnectedState; });
    }
    void send(const std::string& line) { sendRaw(line + "\r\n"); }
    void sendRaw(const std::string& bytes) {
        socket.write(bytes.data(), static_cast<qint64>(bytes.size()));
        socket.flush();
    }
    // The next line without its CR LF, or nothing when none came in time.
    std::optional<std::string> readLine() {
        waitFor([&] { return pending().find("\r\n") != std::string::npos; });
        const auto end = buffer.find("\r\n");
        if (end == std::string::npos) return std::nullopt;
        std::string line = buffer.substr(0, end);
        buffer.erase(0, end + 2);
        return line;
    }
    // The next n lines ("<missing>" for those that did not come).
    L read(std::size_t n) {
        L out;
        while (out.size() < n) out.push_back(readLine().value_or("<missing>"));
        return out;
    }
    void expect(const L& lines) { EXPECT_EQ(read(lines.size()), lines); }
    bool waitClosed() {
        return waitFor([&] { return pending(), socket.state() == QAbstractSocket::UnconnectedState; });
    }
    // Everything received that has not been read as a line.
    const std::string& pending() {
        buffer += socket.readAll().toStdString();
        return buffer;
    }

    QTcpSocket socket;
    std::string buffer;
};

class HostTest : public ::testing::Test {
protected:
    void SetUp() override { startHost(); }
    void startHost(std::string commandLine = {}, HostHooks hooks = {}) {
        hooks.listenAddress = QHostAddress::LocalHost;
        hooks.shuffle = knownDeck();
        if (!hooks.startTestClient) hooks.startTestClient = [] { return std::optional<std::string>{}; };
        if (!hooks.openUrl) hooks.openUrl = [](const std::string&) {};
        clients.clear();
        window = std::make_unique<frmMain>(0, std::move(commandLine), std::move(hooks));
        window->Timer1->stop();  // tests drive the monitor themselves
        port = window->listeningPort();
        ASSERT_NE(port, 0);
    }

    // A connected client whose greeting has been read; logged in when a name is given.
    LineClient& connect(const std::string& name = {}) {
        clients.push_back(std::make_unique<LineClient>(port));
        LineClient& c = *clients.back();
        c.expect({"HELLO\tQuorvane v0.924", "LOGIN"});
        if (!name.empty()) {
            c.send("LOGIN\t" + name);
            c.expect({"OK\tLOGIN"});
        }
        return c;
    }

    int slotOf(LineClient& c) {
        for (int i = 1; i <= frmMain::kSlots; ++i)
            if (window->Winsock1(i).state() != 0 && window->Winsock1(i).peerPort() == c.socket.localPort())
                return i;
        return 0;
    }

    // The log's lines without their "HH:NN:SS " stamps.
    L logLines() const {
        L lines;
        const std::string& text = window->logText();
        for (std::size_t start = 0; start < text.size();) {
            const auto end = std::min(text.find("\r\n", start), text.size());
            lines.push_back(text.substr(start + 9, end - start - 9));
            start = end + 2;
        }
        return lines;
    }
    bool waitForLog(const std::string& line) {
        return waitFor([&] {
            const L lines = logLines();
            return std::find(lines.begin(), lines.end(), line) != lines.end();
        });
    }

    std::unique_ptr<frmMain> window;
    quint16 port = 0;
    std::vector<std::unique_ptr<LineClient>> clients;
};

}  // namespace server::testing
