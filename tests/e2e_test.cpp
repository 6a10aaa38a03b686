// "Quorvane -test" brings up the server and two test clients, which open game
// 1 and sit down; a third player joins and sees both with a dealt hand.

#include <gtest/gtest.h>
#include <signal.h>

#include <QDir>
#include <QProcess>
#include <QUuid>

#include "tests/support/line_client.h"

namespace {

using namespace std::chrono_literals;

// The processes whose environment holds `tag`: the server, and the clients it
// started, which detach themselves from it.
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
    auto env = QProcessEnvironment::systemEnvironment();  // offscreen, as test_main sets it
    env.insert(programs.tag.split('=')[0], programs.tag.split('=')[1]);
    server.setProcessEnvironment(env), server.setProcessChannelMode(QProcess::MergedChannels);
    server.start(QUORVANE_BIN_DIR "/Quorvane", {"-test"});
    // Both test clients are in once the server has logged two connections; the
    // first opened game 1 before it started the second.
    QByteArray log;
    ASSERT_TRUE(
        support::waitUntil([&] { return (log += server.readAll()).count("ConnectionRequest") == 2; }, 30s))
        << log.data();
    EXPECT_EQ(tagged(programs.tag).size(), 3u) << "the server and two clients should be running";

    support::LineClient observer(9596);
    observer.send("LOGIN\tObserver"), observer.send("JOINGAME\t1");
    // The second test player may sit down after us; the table then reports his arrival.
    const auto seat = observer.readUntil("SEAT\t");
    const std::string names =
        seat == "SEAT\t1" ? "testplayer1\tobserver\ttestplayer2" : "testplayer1\ttestplayer2\tobserver";
    EXPECT_TRUE(seat != "SEAT\t1" || observer.readUntil("SEAT_NAME\t" + names, 30s));
    // A new deal reports the seats to us too; the interrupted hand's antes go
    // back first, so the banks show exactly one ante taken.
    observer.send("STARTGAME");
    EXPECT_TRUE(observer.readUntil("STARTGAME\t"));
    EXPECT_EQ(
        observer.readLines(5),
        (std::vector<std::string>{"SEAT_ANTE\t5\t5\t5\t0\t0\t0", "SEAT_NAME\t" + names + "\t\t\t",
                                  "SEAT_STATE\t4\t4\t4\t0\t0\t0", "SEAT_EXCHANGE\t-1\t-1\t-1\t-1\t-1\t-1",
                                  "SEAT_BANK\t995\t995\t995\t1000\t1000\t1000"}));
}

}  // namespace
