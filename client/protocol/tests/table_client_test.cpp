// The whole client, real window and connection, against a scripted server on 127.0.0.1.
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

// Logs "link URL" and "start PROGRAM ARGUMENTS" with the dialogs; no program starts.
struct Browser : IWindowDesktop {
    explicit Browser(std::vector<std::string>& log) : log(log) {}
    std::vector<std::string>& log;
    void startSecondCopy(const std::string&) override {}
    void openLink(const std::string& url) override { log.push_back("link " + url); }
    bool startProgram(const std::string& program, const std::vector<std::string>& arguments) override {
        log.push_back("start " + program);
        for (const auto& argument : arguments) log.back() += " " + argument;
        return false;
    }
};

TEST(TableClient, PlaysLosesTheServerConnectsAgainAndLeaves) {
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
    QTcpSocket* peer = nullptr;
    auto accepted = [&] { return QTest::qWaitFor([&] { return (peer = server.nextPendingConnection()); }); };
    auto sent = [&](const QByteArray& s) {  // what the client sent since the last call
        return QTest::qWaitFor([&] { return peer->bytesAvailable() >= s.size(); }) && peer->readAll() == s;
    };
    frmMain window;
    QWidget* controls[] = {window.cmdDone, window.cmdPass, window.cmdCall, window.cmdRaise, window.txtRaise};
    auto table = [&] {  // the pictures of the five slots, then which of the controls are on screen
        std::string shown;
        for (std::int16_t p = 0; p < 5; ++p) shown += window.slotPicture(p) + (p < 4 ? "," : " ");
        for (QWidget* w : controls) shown += w->isVisible() ? '1' : '0';
        return shown;
    };
    auto* fake = new FakeClient;
    auto client = std::make_unique<TableClient>(window, "", std::unique_ptr<IDialogs>(fake),
                                                std::make_unique<Browser>(fake->log));
    client->connection().port = server.serverPort();
    EXPECT_EQ(window.windowTitle() + " " + table().c_str(), "Tessarin v0.924 back,back,back,back,back 00000");
    EXPECT_FALSE(window.mnuAddComputer->isEnabled());
    window.show();  // connects at once
    ASSERT_TRUE(accepted());
    peer->write(
        "SEAT_NAME\tq\tq\tq\r\nSEAT_NAME\tann\t\r\nSEAT_ANTE\t0\t5\r\nSEAT_STATE\t4\t9\r\n"
        "SEAT_EXCHANGE\t-1\t0\r\nSEAT_BANK\t 995\t-0\t-7\r\nOK\tNEWGAME 4\r\n"
        "STARTGAME\t8\t9\t10\t11\t12\r\n");
    ASSERT_TRUE(QTest::qWaitFor([&] { return table().ends_with("10000"); }));
    QStringList seats;  // the ante above 0, exchanged and bank from 0 on, as the server wrote them
    for (int r = -1; r < window.lstSeat->topLevelItemCount(); ++r)
        for (int c = 0; c < window.lstSeat->columnCount(); ++c)
            seats << (r < 0 ? window.lstSeat->headerItem() : window.lstSeat->topLevelItem(r))->text(c);
    EXPECT_EQ(seats.join(","),
              "Seat,Name,State,Exchanged,Bank,Bet,0,ann,Card Changing,, 995,,1,,UnknownState9,0,-0,5,2,q,,,,,"
              "3,,,,,,4,,,,,,5,,,,,");
    for (int slot : {0, 4, 1, 1}) QTest::mouseClick(window.imgCard[slot], Qt::LeftButton);
    EXPECT_EQ(table(), ",CJ,CQ,CK, 10000");
    EXPECT_TRUE(window.imgCard[0]->pixmap().isNull());
    QTest::mouseClick(window.cmdDone, Qt::LeftButton);
    peer->write("EXCHANGE\t20\t60\t10\t11\t21\r\nBET\r\n");  // 60 has no picture: the slot keeps its own
    ASSERT_TRUE(QTest::qWaitFor([&] { return table() == "D9,CJ,CQ,CK,D10 01111"; }));
    window.txtRaise->setText("25");
    QTest::mouseClick(window.cmdRaise, Qt::LeftButton);
    QTest::keyClicks(window.txtChat, "  hello ");
    QTest::keyClick(window.txtChat, Qt::Key_Return);
    EXPECT_TRUE(window.txtChat->text().isEmpty());
    EXPECT_TRUE(sent("EXCHANGE\t0\t4\r\nBET\t25\r\nCHAT\thello\r\n"));
    window.mnuAddComputer->trigger();
    EXPECT_EQ(window.statusText(), "Could not start tessarin-bot");
    peer->close();
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.statusText() == "Winsock1_Close"; }));
    EXPECT_FALSE(window.mnuAddComputer->isEnabled()) << "no connection, no table";
    window.mnuStartGame->trigger();
    EXPECT_EQ(window.statusText(), "winsock_SendCmd error");
    EXPECT_TRUE(window.txtTcp->toPlainText().endsWith(">BET 25\n>CHAT hello\n"))
        << "a failed send is not traced";

    // The first host refuses: the prompt offers the last host that answered; cancelled, no second try.
    client->connection().firstHost = "127.0.0.2";
    QSettings("Quorvane", "Tessarin").setValue("host", "poker");
    window.mnuConnect->trigger();
    EXPECT_EQ(window.statusText(), "Connect Failed");
    for (const char* host : {"127.0.0.3", "127.0.0.1"}) fake->answer = host, window.mnuConnect->trigger();
    ASSERT_TRUE(accepted());
    EXPECT_EQ(QSettings("Quorvane", "Tessarin").value("host"), "127.0.0.1") << "kept once it answered";

    // Lines arrive into an open box; a line or a command whose handling throws is dropped; a reset is an
    // error.
    fake->whileOpen = [&](const std::string& entry) {
        if (entry != "box ERROR: JOINGAME") throw entry;
        peer->write("CHAT\ta> hi\r\n");
        EXPECT_TRUE(QTest::qWaitFor([&] { return window.txtChatLog->toPlainText().endsWith("a> hi"); }));
    };
    peer->write("ERROR\tJOINGAME\r\nERROR\tboom\r\nCHAT\tb> after\r\n");
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return window.txtChatLog->toPlainText().endsWith("b> after\na> hi"); }));
    window.mnuNewGame->trigger();
    fake->whileOpen = nullptr;
    const linger hard{1, 0};  // closing now resets the connection
    ASSERT_EQ(setsockopt(int(peer->socketDescriptor()), SOL_SOCKET, SO_LINGER, &hard, sizeof hard), 0);
    peer->abort();
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.statusText() == "Winsock1_Error"; }));

    // Exit in a game, then the window closed: EXIT is out though the program ends with the window.
    client->connection().firstHost = "127.0.0.1";
    window.mnuConnect->trigger();
    ASSERT_TRUE(accepted());
    window.mnuAbout->trigger();
    window.mnuExit->trigger();
    window.close();
    EXPECT_EQ(client->protocol().ExitMode, 2);
    const std::string refused =
        "box Connection refused; prompt Enter IP address or hostname of Quorvane:||poker; ";
    EXPECT_EQ(
        fake->take(),
        "start tessarin-bot --join 4 --host 127.0.0.1 --port " + std::to_string(server.serverPort()) + "; " +
            refused + refused + "box Connection refused; box Connect Failed; " + refused +
            "box ERROR: JOINGAME; box ERROR: boom; prompt Game name|New Game|test game; "
            "box Connection reset by peer; link http://quorvane.example/poker/?ref=Tessarin+v0%2E924; ");
    client.reset();
    EXPECT_TRUE(sent("EXIT\r\n"));
}

TEST(CommandLine, IsTakenAsReceivedAndOnlyHelpAndVersionAreAnsweredWithoutAWindow) {
    const char* argv[] = {"Tessarin", "-platform", "xcb", ""};
    EXPECT_EQ(commandLineOf(1, argv) + "|" + commandLineOf(4, argv), "|-platform xcb ");
    std::string answers;  // the help names the test switches
    for (const char* arguments : {"--version", "x -v", "-h", "--help", "-test", "-reverse"}) {
        const auto answer = answerWithoutWindow(("Tessarin " + QString(arguments)).split(' '));
        answers += answer && answer->find("-test2") != std::string::npos ? "help\n" : answer.value_or("-\n");
    }
    EXPECT_EQ(answers, "Tessarin v0.924\nTessarin v0.924\nhelp\nhelp\n-\n-\n");
}

}  // namespace
}  // namespace client::testing
