// The whole client: the real window, sound and connection against a scripted
// server on 127.0.0.1, driven with real clicks and key presses.
#include "client/protocol/table_client.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>
#include <sys/socket.h>

#include "client/core/tests/fakes.h"
#include "client/protocol/command_line.h"
#include "client/table/frm_main.h"

namespace client::testing {
namespace {

struct Browser : IWindowDesktop {
    Lines links, started;
    bool startable = true;
    void startSecondCopy(const std::string&) override {}
    void openLink(const std::string& url) override { links.push_back(url); }
    bool startProgram(const std::string& program, const std::vector<std::string>& arguments) override {
        started.push_back(program);
        for (const auto& argument : arguments) started.back() += " " + argument;
        return startable;
    }
};

class TableClientTest : public ::testing::Test {
protected:
    // Builds the client; shown, it connects at once. Hidden, its first host refuses.
    void start(bool connect = true) {
        ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
        client = std::make_unique<TableClient>(window, "", std::unique_ptr<IDialogs>(fake = new FakeClient),
                                               std::unique_ptr<IWindowDesktop>(browser = new Browser));
        client->connection().port = server.serverPort();
        if (!connect) return void(client->connection().firstHost = "127.0.0.2");
        window.show();
        ASSERT_TRUE(QTest::qWaitFor([&] { return server.hasPendingConnections(); }));
        peer = server.nextPendingConnection();
        ASSERT_TRUE(QTest::qWaitFor([&] { return client->connection().isConnected(); }));
    }
    // The client's next line without its CR LF.
    std::string clientSent() {
        EXPECT_TRUE(
            QTest::qWaitFor([&] { return (got += peer->readAll().toStdString()).find("\r\n") != got.npos; }));
        const std::string line = got.substr(0, got.find("\r\n"));
        got.erase(0, line.size() + 2);
        return line;
    }
    // The pictures of the five slots.
    std::string pictures() const {
        std::string shown = window.slotPicture(0);
        for (std::int16_t p = 1; p < 5; ++p) shown += "," + window.slotPicture(p);
        return shown;
    }
    // Which of Done, Pass, Call, Raise and the raise amount are on screen.
    std::string controls() const {
        std::string shown;
        for (QWidget* w : std::initializer_list<QWidget*>{window.cmdDone, window.cmdPass, window.cmdCall,
                                                          window.cmdRaise, window.txtRaise})
            shown += w->isVisible() ? '1' : '0';
        return shown;
    }

    QTcpServer server;
    QTcpSocket* peer = nullptr;
    std::string got;
    frmMain window;
    FakeClient* fake = nullptr;
    Browser* browser = nullptr;
    std::unique_ptr<TableClient> client;
};

TEST_F(TableClientTest, PlaysAHandWithClicksAndKeysThenSeesTheServerClose) {
    start();
    EXPECT_EQ(window.windowTitle(), "Tessarin v0.924");
    EXPECT_EQ(pictures(), "back,back,back,back,back");
    QStringList seats;
    for (int r = -1; r < window.lstSeat->topLevelItemCount(); ++r)
        for (int c = 0; c < window.lstSeat->columnCount(); ++c)
            seats << (r < 0 ? window.lstSeat->headerItem() : window.lstSeat->topLevelItem(r))->text(c);
    EXPECT_EQ(seats.join(","),
              "Seat,Name,State,Exchanged,Bank,Bet,0,,,,,,1,,,,,,2,,,,,,3,,,,,,4,,,,,,5,,,,,");
    EXPECT_EQ(controls(), "00000");
    peer->write("HELLO\tQuorvane v0.924\r\nSTARTGAME\t8\t9\t10\t11\t12\r\n");
    ASSERT_TRUE(QTest::qWaitFor([&] { return controls() == "10000"; }));
    EXPECT_EQ(window.statusText(), "Royal Flush A    ");
    for (int slot : {0, 4, 1, 1}) QTest::mouseClick(window.imgCard[slot], Qt::LeftButton);
    EXPECT_EQ(pictures(), ",CJ,CQ,CK,");
    EXPECT_TRUE(window.imgCard[0]->pixmap().isNull());
    QTest::mouseClick(window.cmdDone, Qt::LeftButton);
    EXPECT_EQ(clientSent(), "EXCHANGE\t0\t4");

    peer->write("EXCHANGE\t20\t60\t10\t11\t21\r\nBET\r\n");  // 60 has no picture: the slot keeps its own
    ASSERT_TRUE(QTest::qWaitFor([&] { return controls() == "01111"; }));
    EXPECT_EQ(pictures(), "D9,CJ,CQ,CK,D10");
    window.txtRaise->setText("25");
    QTest::mouseClick(window.cmdRaise, Qt::LeftButton);
    EXPECT_EQ(clientSent(), "BET\t25");
    QTest::keyClicks(window.txtChat, "  hello ");
    QTest::keyClick(window.txtChat, Qt::Key_Return);
    EXPECT_EQ(clientSent(), "CHAT\thello");
    EXPECT_TRUE(window.txtChat->text().isEmpty());

    peer->close();
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.statusText() == "Winsock1_Close"; }));
    window.mnuStartGame->trigger();
    EXPECT_EQ(window.statusText(), "winsock_SendCmd error");
    EXPECT_TRUE(fake->log.empty()) << "no box all along";
}

TEST_F(TableClientTest, LinesComeIntoABoxAThrowingLineOrCommandIsDroppedAndAResetIsAnError) {
    start();
    fake->whileOpen = [&](const std::string& entry) {
        if (entry != "box ERROR: JOINGAME") throw entry;
        peer->write("CHAT\ta> hi\r\n");
        EXPECT_TRUE(QTest::qWaitFor([&] {
            return window.txtTcp->toPlainText().endsWith("CHAT a> hi\n") &&
                   window.txtChatLog->toPlainText().endsWith("a> hi");
        }));
    };
    peer->write("ERROR\tJOINGAME\r\nERROR\tboom\r\nCHAT\tb> after\r\n");
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return window.txtChatLog->toPlainText().endsWith("b> after\na> hi"); }));
    window.mnuNewGame->trigger();
    const linger hard{1, 0};  // closing now resets the connection
    ASSERT_EQ(setsockopt(int(peer->socketDescriptor()), SOL_SOCKET, SO_LINGER, &hard, sizeof hard), 0);
    peer->abort();
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.statusText() == "Winsock1_Error"; }));
    EXPECT_EQ(fake->log.size(), 4u) << "the two errors, the prompt and the socket's box";
}

TEST_F(TableClientTest, AddComputerPlayerStartsTheBotAtThePlayersTableOnceThereIsOne) {
    start();
    EXPECT_FALSE(window.mnuAddComputer->isEnabled());
    peer->write("OK\tNEWGAME 4\r\n");
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.mnuAddComputer->isEnabled(); }));
    for (bool startable : {true, false}) browser->startable = startable, window.mnuAddComputer->trigger();
    const std::string bot =
        "tessarin-bot --join 4 --host 127.0.0.1 --port " + std::to_string(server.serverPort());
    EXPECT_EQ(browser->started, (Lines{bot, bot}));
    EXPECT_EQ(window.statusText(), "Could not start tessarin-bot");
    peer->close();  // no connection, no table
    EXPECT_TRUE(QTest::qWaitFor([&] { return !window.mnuAddComputer->isEnabled(); }));
}

TEST_F(TableClientTest, ExitBeforeAnyDealReachesTheServerThoughTheProgramEndsWithTheWindow) {
    start();
    window.mnuExit->trigger();
    EXPECT_FALSE(window.isVisible());
    client.reset();
    EXPECT_EQ(clientSent(), "EXIT");
}

TEST_F(TableClientTest,
       AFailedFirstHostAsksForOneOffersTheLastThatAnsweredAndAsksNothingOnceTheWindowCloses) {
    start(false);
    QSettings("Quorvane", "Tessarin").setValue("host", "poker");  // the last one that answered
    client->connection().ConnectToServer();                       // the host prompt cancelled: no second try
    ASSERT_EQ(fake->log.size(), 2u) << "the socket's own description of the refusal, then the prompt";
    EXPECT_EQ(fake->log[1], "prompt Enter IP address or hostname of Quorvane:||poker");
    fake->log.clear();
    fake->answers = {"127.0.0.3"};  // a typed host that does not answer either
    client->connection().ConnectToServer();
    ASSERT_EQ(fake->log.size(), 4u);
    EXPECT_EQ(fake->log[3], "box Connect Failed");
    EXPECT_EQ(window.statusText(), "Connect Failed");
    fake->answers = {"127.0.0.1"};  // one that answers is kept
    client->connection().ConnectToServer();
    EXPECT_EQ(QSettings("Quorvane", "Tessarin").value("host"), "127.0.0.1");

    window.mnuAbout->trigger();
    EXPECT_EQ(browser->links, Lines{"http://quorvane.example/poker/?ref=Tessarin+v0%2E924"});
    window.close();
    EXPECT_EQ(client->protocol().ExitMode, 2);
    fake->log.clear();
    client->connection().ConnectToServer();
    EXPECT_TRUE(fake->log.empty());
}

TEST(CommandLine, IsTakenAsReceivedAndOnlyHelpAndVersionAreAnsweredWithoutAWindow) {
    const char* argv[] = {"Tessarin", "-platform", "xcb", ""};
    EXPECT_EQ(commandLineOf(1, argv) + "|" + commandLineOf(3, argv) + "|" + commandLineOf(4, argv),
              "|-platform xcb|-platform xcb ");
    std::string answers;  // the help names the test switches
    for (const char* arguments : {"--version", "x -v", "-h", "--help", "-test", "-test2", "-reverse", ""}) {
        const auto answer =
            answerWithoutWindow(("Tessarin " + QString(arguments)).split(' ', Qt::SkipEmptyParts));
        answers += answer && answer->find("-test2") != std::string::npos ? "help\n" : answer.value_or("-\n");
    }
    EXPECT_EQ(answers, "Tessarin v0.924\nTessarin v0.924\nhelp\nhelp\n-\n-\n-\n-\n");
}

}  // namespace
}  // namespace client::testing
