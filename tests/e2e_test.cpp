// "Quorvane -test" brings up the server, a test client that opens game 1 and a second one that deals there.

#include <gtest/gtest.h>
#include <signal.h>

#include <QDir>
#include <QProcess>
#include <QUuid>

#include "tests/support/line_client.h"

namespace {

using namespace std::chrono_literals;

// The processes whose environment holds `tag`: the server and the clients it started, which detach.
std::vector<pid_t> tagged(const QByteArray& tag) {
    std::vector<pid_t> found;
    for (const QString& pid : QDir("/proc").entryList({"[0-9]*"}, QDir::Dirs))
        if (QFile environ("/proc/" + pid + "/environ");
            environ.open(QIODevice::ReadOnly) && environ.readAll().split('\0').contains(tag))
            found.push_back(pid.toInt());
    return found;
}

struct StopAll {  // on every way out of the test
    QByteArray tag;
    ~StopAll() {
        for (int round = 0; round < 50 && !tagged(tag).empty(); ++round, QThread::msleep(100))
            for (pid_t pid : tagged(tag)) ::kill(pid, round < 10 ? SIGTERM : SIGKILL);
    }
};

TEST(EndToEnd, TestModeBringsUpTwoPlayersWithADealtHand) {
    const StopAll programs{"QUORVANE_E2E_TAG=" + QUuid::createUuid().toByteArray(QUuid::WithoutBraces)};
    QProcess server;
    server.setEnvironment(QProcess::systemEnvironment() << programs.tag);  // offscreen, as test_main sets it
    server.setProcessChannelMode(QProcess::MergedChannels);
    server.start(QUORVANE_BIN_DIR "/Quorvane", {"-test"});
    QByteArray log;  // both test clients are in once the server has logged two connections
    const auto bothIn = [&] { return (log += server.readAll()).count("ConnectionRequest") == 2; };
    ASSERT_TRUE(support::waitUntil(bothIn, 30s)) << log.data();

    support::LineClient observer(9596);
    observer.send("LOGIN\tObserver"), observer.send("JOINGAME\t1");
    const auto seat = observer.readUntil("SEAT\t");  // the second test player may sit down after us
    const std::string names =
        seat == "SEAT\t1" ? "testplayer1\tobserver\ttestplayer2" : "testplayer1\ttestplayer2\tobserver";
    EXPECT_TRUE(seat != "SEAT\t1" || observer.readUntil("SEAT_NAME\t" + names, 30s));  // his arrival reported
    observer.send("STARTGAME");  // the antes of a hand cut short go back; each of the three pays one
    EXPECT_TRUE(observer.readUntil("SEAT_NAME\t" + names) &&
                observer.readUntil("SEAT_STATE\t4\t4\t4\t0\t0\t0") &&
                observer.readUntil("SEAT_BANK\t995\t995\t995\t1000\t1000\t1000"));
}

}  // namespace
