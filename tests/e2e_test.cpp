// "Quorvane -test" brings up the server and two test clients; a third plain
// TCP client joins game 1 and must see both test players with a dealt hand.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTcpSocket>
#include <QThread>
#include <QUuid>

#include <csignal>
#include <map>
#include <string>

#include "wire/framing.h"
#include "wire/messages.h"

namespace {

constexpr int kTimeoutMs = 30000;

// Every process started for the test carries this tag in its environment, so
// the detached clients can be found and stopped afterwards.
class TaggedProcesses {
public:
    TaggedProcesses() : tag_(QUuid::createUuid().toString(QUuid::WithoutBraces)) {}
    ~TaggedProcesses() { killAll(); }
    QString variable() const { return "QUORVANE_E2E_TAG=" + tag_; }

    int count() const { return static_cast<int>(pids().size()); }

    void killAll() const {
        for (int round = 0; round < 50 && count() > 0; ++round) {
            for (auto pid : pids()) ::kill(pid, round < 10 ? SIGTERM : SIGKILL);
            QThread::msleep(100);
        }
    }

private:
    std::vector<pid_t> pids() const {
        std::vector<pid_t> found;
        const QByteArray needle = variable().toLatin1();
        for (const QString& entry : QDir("/proc").entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
            bool numeric = false;
            const pid_t pid = entry.toInt(&numeric);
            if (!numeric || pid == ::getpid()) continue;
            QFile environ("/proc/" + entry + "/environ");
            if (!environ.open(QIODevice::ReadOnly)) continue;
            const QByteArray all = environ.readAll();
            if (all.split('\0').contains(needle)) found.push_back(pid);
        }
        return found;
    }

    QString tag_;
};

// A minimal line client over a blocking-with-timeout QTcpSocket.
class LineClient {
public:
    bool connect(int timeoutMs) {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < timeoutMs) {
            socket_.connectToHost("127.0.0.1", wire::kServerPort);
            if (socket_.waitForConnected(1000)) return true;
            socket_.abort();
            QThread::msleep(200);
        }
        return false;
    }
    void send(const std::string& line) {
        socket_.write(QByteArray::fromStdString(wire::frame(line)));
        socket_.flush();
    }
    // Next non-empty line, or empty fields on timeout.
    wire::Fields next(int timeoutMs) {
        QElapsedTimer t;
        t.start();
        wire::Fields fields;
        for (;;) {
            while (buffer_.ReadCmd(fields))
                if (!fields.empty()) return fields;
            const auto left = timeoutMs - t.elapsed();
            if (left <= 0 || !socket_.waitForReadyRead(static_cast<int>(left))) return {};
            buffer_.append(socket_.readAll().toStdString());
        }
    }

private:
    QTcpSocket socket_;
    wire::LineBuffer buffer_;
};

TEST(EndToEnd, TestModeBringsUpTwoPlayersWithADealtHand) {
    TaggedProcesses tagged;
    const QString bin = QStringLiteral(QUORVANE_BIN_DIR);
    QProcess server;
    auto env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("QUORVANE_E2E_TAG", tagged.variable().section('=', 1));
    server.setProcessEnvironment(env);
    server.setWorkingDirectory(bin);
    server.setProcessChannelMode(QProcess::MergedChannels);
    server.start(bin + "/Quorvane", {"-test"});
    ASSERT_TRUE(server.waitForStarted(10000));

    // Both test clients are connected once the server has logged two
    // connections; the first has created game 1 before it started the second.
    QByteArray serverLog;
    QElapsedTimer clock;
    clock.start();
    while (serverLog.count("Winsock1_ConnectionRequest") < 2 && clock.elapsed() < kTimeoutMs)
        if (server.waitForReadyRead(500)) serverLog += server.readAll();
    ASSERT_GE(serverLog.count("Winsock1_ConnectionRequest"), 2) << serverLog.toStdString();
    EXPECT_TRUE(serverLog.contains("Quorvane listening on port 9596"));
    EXPECT_EQ(tagged.count(), 3) << "the server and two clients should be running";

    LineClient observer;
    ASSERT_TRUE(observer.connect(kTimeoutMs));
    EXPECT_EQ(observer.next(5000), (wire::Fields{"HELLO", "Quorvane v0.924"}));
    EXPECT_EQ(observer.next(5000), wire::Fields{"LOGIN"});
    observer.send(wire::loginRequest("Observer"));
    EXPECT_EQ(observer.next(5000), (wire::Fields{"OK", "LOGIN"}));
    // The second test player may still be on his way to the table: until we
    // get the seat after his, leave and try again.
    wire::Fields seat;
    clock.restart();
    for (;;) {
        observer.send(wire::joinGameRequest("1"));
        EXPECT_EQ(observer.next(5000), (wire::Fields{"OK", "JOINGAME"}));
        seat = observer.next(5000);
        if (seat == wire::Fields{"SEAT", "2"} || clock.elapsed() > kTimeoutMs) break;
        observer.send(wire::logoutRequest());
        QThread::msleep(500);
        observer.send(wire::loginRequest("Observer"));
        EXPECT_EQ(observer.next(5000), (wire::Fields{"OK", "LOGIN"}));
    }
    ASSERT_EQ(seat, (wire::Fields{"SEAT", "2"}));

    // A new deal makes the table report its seats to us too; the interrupted
    // hand's antes go back first, so the banks show exactly one ante taken.
    std::map<std::string, wire::Fields> report;
    observer.send(wire::startGameRequest());
    for (wire::Fields f = observer.next(5000); !f.empty() && !report.count("SEAT_BANK");
         f = observer.next(5000)) {
        if (f[0] == "STARTGAME") {
            EXPECT_EQ(f.size(), 6u);
        }
        if (f[0].rfind("SEAT_", 0) == 0) report[f[0]] = f;
    }
    ASSERT_EQ(report.count("SEAT_NAME"), 1u);
    EXPECT_EQ(report["SEAT_NAME"],
              (wire::Fields{"SEAT_NAME", "testplayer1", "testplayer2", "observer", "", "", ""}));
    EXPECT_EQ(report["SEAT_STATE"], (wire::Fields{"SEAT_STATE", "4", "4", "4", "0", "0", "0"}));
    EXPECT_EQ(report["SEAT_ANTE"], (wire::Fields{"SEAT_ANTE", "5", "5", "5", "0", "0", "0"}));
    EXPECT_EQ(report["SEAT_BANK"], (wire::Fields{"SEAT_BANK", "995", "995", "995", "1000", "1000", "1000"}));

    tagged.killAll();
    EXPECT_EQ(tagged.count(), 0);
    server.waitForFinished(5000);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
