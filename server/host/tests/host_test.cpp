// The server window over TCP on the loopback, the command line, and the headless program.

#include <gmock/gmock.h>
#include <QAction>
#include <QDir>
#include <QPlainTextEdit>
#include <QProcess>
#include <QScrollBar>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>

#include <regex>

#include "server/host/command_line.h"
#include "server/host/start_program.h"
#include "server/session/tests/harness.h"
#include "tests/support/line_client.h"
#include "tests/support/loopback_server.h"
#include "weblink/url.h"

namespace server::testing {
namespace {

using support::LineClient;
using namespace ::testing;  // matchers

class HostTest : public ::testing::Test {
protected:
    // In test mode, which the first activation acts on. The programs are found next to the server and started
    // by recording them; the operator's answers come from `answers`.
    HostTest() {
        for (const char* name : {kClientProgram, kBotProgram})
            QFile::link(QCoreApplication::applicationFilePath(), programs.filePath(name));
        const auto start = [this](const QString& program, const QStringList& arguments) {
            return started.push_back(QStringList{QFileInfo(program).fileName()} + arguments), startFailure;
        };
        const auto ask = [this, asked = 0](auto&&...) mutable { return answers.at(asked++); };
        const auto open = [this](const std::string& url) { opened.push_back(url); };
        const auto unshuffled = [](std::span<std::int16_t>) {};
        window = support::loopbackServer({unshuffled, start, programs.path(), ask, open}, "-test");
        window->Timer1->stop();  // the tests tick the monitor themselves
    }
    LineClient& connect(const std::string& name = {}) {  // past the greeting, logged in if named
        LineClient& c = *clients.emplace_back(std::make_unique<LineClient>(port()));
        EXPECT_EQ(c.readLines(2), (L{"HELLO\tQuorvane v0.924", "LOGIN"}));
        if (!name.empty()) c.send("LOGIN\t" + name), c.readLine();
        return c;
    }
    std::uint16_t port() const { return window->listeningPort(); }
    std::string log() const {
        return std::regex_replace(window->logText(), std::regex("(^|\n)\\d\\d:\\d\\d:\\d\\d "), "$1");
    }

    QTemporaryDir programs;
    std::vector<QStringList> started;
    std::vector<std::string> opened;
    std::optional<std::string> startFailure;
    std::vector<std::optional<int>> answers;
    std::unique_ptr<frmMain> window;
    std::vector<std::unique_ptr<LineClient>> clients;
};

TEST_F(HostTest, LinesCrossASlotByteForByteAndASocketErrorEndsTheSessionLikeAClose) {
    LineClient& a = connect();
    LineClient& b = connect("ben");
    a.sendRaw("LOGIN\tAn\xC9\r\nNEWGAME\tcaf\xe9\r\nCHAT\t\xff!\r\n");
    EXPECT_EQ(a.readLines(4), (L{"OK\tLOGIN", "OK\tNEWGAME 1", "SEAT\t0", "CHAT\tan\xe9> \xff!"}));
    b.send("JOINGAME\t1"), a.readLines(5);
    window->host().Winsock1_Error(2, 10053, QStringLiteral("Software caused connection abort"));
    EXPECT_TRUE(b.waitEnded());
    EXPECT_EQ(a.readLines(5), report("", "an\xe9", "3", "", ""));  // the seat is free again
    window->Winsock1(2).send("LOGIN\r\n");                         // dropped without harm
    EXPECT_THAT(log(), EndsWith("index=0\r\nWinsock1_Error: index=2 err=Software caused connection abort"));
}

TEST_F(HostTest, APeerFoundGoneByASendIsToldAfterTheHandlerAndOneWhoNeverReadsIsLetGoAtOnce) {
    connect("bob"), connect("amy").reset();  // bob never reads
    QtSocket& slot = window->Winsock1(2);
    slot.send(std::string(QtSocket::kMaxPendingOutput / 2, 'x'));      // waits: the event loop has not run
    slot.send(std::string(QtSocket::kMaxPendingOutput / 2 + 1, 'x'));  // past the bound: written, refused
    EXPECT_THAT(log(), Not(HasSubstr("Winsock1_Close")));
    EXPECT_TRUE(support::waitUntil([&] { return log().ends_with("Winsock1_Close: index=2"); }));
    const auto before = QDir("/proc/self/fd").count();
    QtSocket& bob = window->Winsock1(1);
    for (int i = 0; i < 400 && !bob.outputOverflowed(); ++i) bob.send(std::string(1 << 16, 'x'));
    bob.close();  // with the system's buffers and ours full
    EXPECT_EQ(QDir("/proc/self/fd").count(), before - 1);
}

TEST_F(HostTest, LowestClosedSlotTakesTheNextCallerAndAnEleventhIsTurnedAway) {
    for (int i = 0; i < 3; ++i) connect();
    clients[1]->close();
    ASSERT_TRUE(support::waitUntil([&] { return log().ends_with("Winsock1_Close: index=2"); }));
    EXPECT_EQ(window->Winsock1(2).peerPort(), connect().localPort());
    while (clients.size() < 11) connect();
    EXPECT_TRUE(LineClient(port()).waitEnded());  // an eleventh
    EXPECT_THAT(log(), EndsWith("index=0\r\nWinsock1_ConnectionRequest: index=0"));
    // A slot whose peer hung up before the server noticed is taken back for the caller who needs it.
    QObject scope;
    QObject::connect(&window->host(), &ServerHost::logWritten, &scope, [&] {
        if (!log().ends_with("Winsock1_ConnectionRequest: index=0") || clients[4]->ended()) return;
        clients[4]->close();
        for (int ms = 0; ms < 5000 && !window->Winsock1(4).peerGone(); ++ms) QThread::msleep(1);
    });
    EXPECT_EQ(window->Winsock1(4).peerPort(), connect().localPort());
}

TEST_F(HostTest, WindowStartsTheTestClientOnceSplitsInHalvesKeepsTheNewestLogAndOpensTheAboutPage) {
    startFailure = "No such file";
    window->show();
    ASSERT_TRUE(support::waitUntil([&] { return !log().empty(); }));
    window->firstActivation();
    EXPECT_EQ(started, (std::vector{QStringList{kClientProgram, kTestSwitch}}));
    EXPECT_EQ(log(), "Quorvane listening on port " + std::to_string(port()) +
                         "\r\nError while processing -test command argument: No such file");
    window->resize(700, window->height() + 1 - window->centralWidget()->height() % 2);  // an odd height
    const int w = window->centralWidget()->width(), h = window->centralWidget()->height();
    EXPECT_EQ(window->ListView1->geometry(), QRect(0, 0, w, h / 2));
    EXPECT_EQ(window->txtLog->geometry(), QRect(0, h / 2, w, h / 2));
    window->mnuAbout->trigger();
    EXPECT_EQ(opened, L{std::string(weblink::kLinkBase) + "Quorvane+v0%2E924"});
    for (int i = 0; i < 200; ++i) window->WriteLog("line " + std::to_string(i));
    EXPECT_THAT(window->txtLog->toPlainText().toStdString(), ContainsRegex(" line 198\n[^ ]+ line 199$"));
    EXPECT_EQ(window->logText().size(), 2048u);
    window->WriteLog("a long line " + std::string(400, '-'));
    EXPECT_TRUE(window->txtLog->textCursor().atEnd());
    EXPECT_EQ(window->txtLog->horizontalScrollBar()->value(), 0) << "where lines start stays in view";
    frmMain second(port(), {}, HostHooks{{}, {}, {}, {}, {}, QHostAddress::LocalHost});  // cannot listen
    EXPECT_EQ(second.logText().find("Winsock1_Error: index=0 err="), 9u);
    second.mnuAddComputer->trigger();
    EXPECT_TRUE(second.logText().ends_with("No computer player: the server is not listening"));
}

TEST_F(HostTest, MonitorRefreshesOneRowPerTickInSlotOrder) {
    const auto row = [&](int slot) {
        QStringList texts;
        for (int c = 0; c < frmMain::kColumns; ++c)
            texts << window->ListView1->topLevelItem(slot - 1)->text(c);
        return texts;
    };
    LineClient& c = connect("Do\nra");
    c.send("NEWGAME\tlate show"), c.send("STARTGAME");
    EXPECT_EQ(c.readLines(3)[2], "STARTGAME\t0\t1\t2\t3\t4");  // two to six of clubs
    for (int tick = 1; tick <= frmMain::kSlots; ++tick) {
        window->refreshNextRow();
        EXPECT_EQ(row(tick)[2], tick == 1 ? "WaitChange" : "Void");
        EXPECT_EQ(row(tick % frmMain::kSlots + 1)[2], tick == frmMain::kSlots ? "WaitChange" : "");
    }
    EXPECT_EQ(row(1), (QStringList{"1", "1", "WaitChange", "do ra", "127.0.0.1",
                                   QString::number(c.localPort()), "7", "Straight Flush 6    "}));
    c.close();  // the eleventh tick shows his row empty
    ASSERT_TRUE(support::waitUntil([&] { return log().ends_with("Winsock1_Close: index=1"); }));
    window->refreshNextRow();
    EXPECT_EQ(row(1), (QStringList{"1", "-1", "Void", "", "", "", "0", ""}));
}

TEST_F(HostTest, OptionsMenuStartsAComputerPlayerAndTheTurnTimeEndsSlowTurns) {
    auto now = std::chrono::steady_clock::now();
    window->core().setClock([&] { return now; });
    answers = {1, std::nullopt, std::nullopt, 4};  // a second, cancelled twice, table 4
    for (QAction* item :
         {window->mnuTurnTime, window->mnuTurnTime, window->mnuAddComputer, window->mnuAddComputer})
        item->trigger();
    EXPECT_EQ(log(), "Turn time: 1 second\r\nStarted " + programs.filePath(kBotProgram).toStdString() +
                         " --join 4 --name ada --port " + std::to_string(port()));
    LineClient& c = connect("dora");
    c.send("NEWGAME\tslow"), c.send("STARTGAME");
    ASSERT_TRUE(c.readUntil("STARTGAME"));
    now += std::chrono::seconds(2);  // the timer finds the exchange overdue
    EXPECT_TRUE(c.readUntil("EXCHANGE"));
}

TEST(CommandLine, TestModeGoesByTheLineAsGivenAndEveryValueIsChecked) {
    const auto summary = [](const CommandLine& c) {
        std::string s = c.help ? "help " : c.version ? "version " : c.headless ? "headless " : "";
        s += std::to_string(c.port) + " " + std::to_string(c.turnTime.count());
        s += (c.seed ? " seed " + std::to_string(*c.seed) : "") + (isTestCommandLine(c.raw) ? " test" : "");
        return s + (c.error.isEmpty() ? "" : " error: " + c.error.toStdString());
    };
    const std::tuple<QStringList, bool, std::string> rows[] = {
        {{" -test "}, true, "9596 0 test"},
        {{"-TEST"}, false, "9596 0 error: Unknown option 'TEST'."},  // refused before a display
        {{"\t-test"}, false, "9596 0 error: unexpected argument '\t-test'"},
        {{"-platform", "offscreen", "-test"}, false, "9596 0"},  // the toolkit takes its switches later
        {{"--style=fusion", "-reverse", "-display", ":1", "--port", "7"}, false, "7 0"},
        {{"-platform", "offscreen", "now"}, false, "9596 0 error: unexpected argument 'now'"},
        {{"-platform", "offscreen"}, true, "9596 0 error: Unknown option 'platform'."},
        {{"--headless", "--port=7000", "--turn-time=30", "--seed=42"}, true, "headless 7000 30 seed 42"},
        {{"-v"}, true, "version 9596 0"},
        {{"--port", "65536"}, false, "9596 0 error: --port takes a TCP port number, not '65536'"},
        {{"--turn-time", "3601"}, false, "9596 0 error: --turn-time takes 0 to 3600 seconds, not '3601'"},
        {{"--seed", "-1"}, false, "9596 0 error: --seed takes a whole number, not '-1'"},
    };
    for (const auto& [arguments, strict, expected] : rows)
        EXPECT_EQ(summary(parseCommandLine(QStringList{"Quorvane"} + arguments, strict)), expected)
            << arguments.join(' ').toStdString();
}

TEST(Headless, ServesWithoutADisplayStopsOnSigtermAndSaysWhyItCannotListen) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();  // no display at all
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) environment.remove(name);
    QProcess refused, server;
    for (QProcess* program : {&refused, &server}) program->setProcessEnvironment(environment);
    QTcpServer holder;  // a free port, first taken
    ASSERT_TRUE(holder.listen(QHostAddress::Any));
    const QString port = QString::number(holder.serverPort());
    refused.start(QUORVANE_PROGRAM, {"--headless", "--port", port});
    ASSERT_TRUE(refused.waitForFinished());
    EXPECT_THAT(std::pair(refused.exitCode(), refused.readAllStandardError().toStdString()),
                Pair(1, HasSubstr("cannot listen on port " + port.toStdString() + ": ")));
    holder.close();
    server.start(QUORVANE_PROGRAM, {"--headless", "--port", port, "--turn-time", "20", "--seed", "7"});
    ASSERT_TRUE(server.waitForStarted());
    QByteArray log;  // its standard error
    ASSERT_TRUE(support::waitUntil([&] { return (log += server.readAllStandardError()).contains("port"); }));
    LineClient player(port.toUShort());
    EXPECT_EQ(player.readLine(), "HELLO\tQuorvane v0.924");
    server.terminate();  // SIGTERM
    ASSERT_TRUE(support::waitUntil([&] { return server.state() == QProcess::NotRunning; }));
    EXPECT_EQ(std::pair(server.exitStatus(), server.exitCode()), std::pair(QProcess::NormalExit, 0));
    EXPECT_THAT((log + server.readAllStandardError()).toStdString(),
                MatchesRegex(".* Quorvane listening on port " + port.toStdString() +
                             "\n.* Deals are predictable.* Turn time: 20 seconds\n"
                             ".* Quorvane closing on SIGTERM: 1 connection\\(s\\) closed\n"));
    EXPECT_TRUE(player.waitEnded());
}

}  // namespace
}  // namespace server::testing
