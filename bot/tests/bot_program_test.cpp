// tessarin-bot as a program: two bots and a scripted dealer at a table of this process's server; exit codes.

#include <gtest/gtest.h>

#include <QProcess>
#include <QTcpServer>

#include "tests/support/line_client.h"
#include "tests/support/loopback_server.h"

namespace {

using namespace std::chrono_literals;

// Without a display: no platform plugin, no X or Wayland server to find.
void startBot(QProcess& bot, const QStringList& args) {
    auto env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) env.remove(name);
    bot.setProcessEnvironment(env), bot.start(BOT_PROGRAM, args);
}

TEST(BotProgram, TwoBotsPlayTheirHandsAndLeave) {
    const auto server = support::loopbackServer();
    support::LineClient dealer(server->listeningPort());
    dealer.send("LOGIN\tdealer"), dealer.send("NEWGAME\tbots");
    QProcess bots[2];
    for (int i = 0; i < 2; ++i) {
        startBot(bots[i], {"--port", QString::number(server->listeningPort()), "--join", "1", "--name",
                           QString("bot%1").arg(i), "--think-ms", "0", "--hands", "5"});
        ASSERT_TRUE(dealer.readUntil(i ? "SEAT_NAME\tdealer\tbot0\tbot1" : "SEAT_NAME\tdealer\tbot0", 20s));
    }
    // The dealer deals, then keeps his cards and folds: the bots play each hand out.
    dealer.send("STARTGAME");
    const auto deadline = support::Clock::now() + 60s;
    while ((bots[0].state() || bots[1].state()) && support::Clock::now() < deadline) {
        const std::string line = dealer.readLine(100ms).value_or("");
        if (line.starts_with("STARTGAME\t")) dealer.send("EXCHANGE");
        if (line == "BET") dealer.send("BET\t-1");
    }
    for (auto& bot : bots)
        EXPECT_EQ(std::tuple(bot.state(), bot.exitStatus(), bot.exitCode(), bot.readAllStandardError()),
                  std::tuple(QProcess::NotRunning, QProcess::NormalExit, 0, QByteArray()));
}

TEST(BotProgram, CommandLine) {
    QTcpServer probe;  // for a port nobody listens on
    probe.listen(QHostAddress::LocalHost);
    const QString closed = QString::number(probe.serverPort());
    probe.close();
    const std::tuple<QStringList, int, const char*> rows[] = {
        {{"--help"}, 0, "--hands <N>"},
        {{"--version"}, 0, "tessarin-bot v" QUORVANE_VERSION "\n"},
        {{"--join", "1", "--frobnicate"}, 2, "Unknown option 'frobnicate'"},
        {{"--join", "1", "--new", "x"}, 2, "either --join N or --new GAMENAME"},
        {{"--join", "11"}, 2, "--join takes a game number, 1 to 10"},
        {{"--new", "x", "--think-ms", "900-100"}, 2, "--think-ms takes"},
        {{"--join", "1", "--port", closed}, 1, "cannot connect to 127.0.0.1 port"},
    };
    for (const auto& [args, exitCode, says] : rows) {
        SCOPED_TRACE(args.join(' ').toStdString());
        QProcess bot;
        startBot(bot, args);
        ASSERT_TRUE(bot.waitForFinished(15000));
        EXPECT_EQ(bot.exitCode(), exitCode);
        EXPECT_TRUE((bot.readAllStandardOutput() + bot.readAllStandardError()).contains(says));
    }
}

}  // namespace
