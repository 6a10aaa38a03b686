// The whole client: the real window and connection against a scripted
// server on 127.0.0.1, driven with real clicks and key presses.
#include "client/protocol/table_client.h"

#include <QElapsedTimer>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include "client/table/frm_main.h"
#include "fakes.h"
#include "weblink/url.h"

namespace client::testing {
namespace {

template <typename Pred>
bool waitUntil(Pred pred, int timeoutMs = 5000) {
    QElapsedTimer clock;
    clock.start();
    while (!pred()) {
        if (clock.elapsed() > timeoutMs) return false;
        QTest::qWait(5);
    }
    return true;
}

class TableClientTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
        auto counting = std::make_unique<CountingSound>();
        sound = counting.get();
        window = std::make_unique<frmMain>(std::move(counting));
    }

    void TearDown() override {
        client.reset();
        window.reset();
    }

    // Builds the client for a command line; shown, it connects at once.
    void start(const std::string& commandLine = "", bool connect = true) {
        auto d = std::make_unique<FakeDialogs>();
        auto k = std::make_unique<FakeDesktop>();
        dialogs = d.get();
        desktop = k.get();
        client = std::make_unique<TableClient>(*window, commandLine, std::move(d), std::move(k));
        client->Link().Port = server.serverPort();
        client->Link().FirstWaitSeconds = 2;
        client->Link().TypedWaitSeconds = 1;
        if (!connect) return;
        window->show();
        ASSERT_TRUE(waitUntil([&] { return server.hasPendingConnections(); }));
        peer = server.nextPendingConnection();
        QObject::connect(peer, &QTcpSocket::readyRead, [this] { got += peer->readAll().toStdString(); });
        ASSERT_TRUE(waitUntil([&] { return client->Link().IsConnected(); }));
    }

    void serverSends(const std::string& text) {
        peer->write(text.data(), static_cast<qint64>(text.size()));
        peer->flush();
    }

    // Waits for the client to send exactly this line next.
    ::testing::AssertionResult clientSent(const std::string& line) {
        const std::string expected = line + "\r\n";
        if (!waitUntil([&] { return got.size() >= expected.size(); }))
            return ::testing::AssertionFailure() << "nothing sent; have \"" << got << "\"";
        const std::string next = got.substr(0, expected.size());
        got.erase(0, expected.size());
        if (next != expected) return ::testing::AssertionFailure() << "sent \"" << next << "\"";
        return ::testing::AssertionSuccess();
    }

    QTcpServer server;
    QTcpSocket* peer = nullptr;
    std::string got;
    CountingSound* sound = nullptr;
    FakeDialogs* dialogs = nullptr;
    FakeDesktop* desktop = nullptr;
    std::unique_ptr<frmMain> window;
    std::unique_ptr<TableClient> client;
};

TEST_F(TableClientTest, LogsInAndPlaysAHandWithClicksAndKeys) {
    start();
    EXPECT_EQ(window->StatusText(), "");
    dialogs->answers = {"bob"};
    serverSends("HELLO\tQuorvane v0.924\r\nLOGIN\r\n");
    EXPECT_TRUE(clientSent("LOGIN\tbob"));
    serverSends("OK\tLOGIN\r\n");

    serverSends("STARTGAME\t8\t9\t10\t11\t12\r\nSEAT_ANTE\t5\t5\t0\t0\t0\t0\r\nSEAT_NAME\tbob\tann\t\t\t\t\r\n"
                "SEAT_STATE\t4\t4\t0\t0\t0\t0\r\nSEAT_EXCHANGE\t-1\t-1\t-1\t-1\t-1\t-1\r\n"
                "SEAT_BANK\t995\t995\t1000\t1000\t1000\t1000\r\n");
    ASSERT_TRUE(waitUntil([&] { return window->lstSeat->topLevelItem(5)->text(4) == "1000"; }));
    EXPECT_EQ(window->SlotPicture(0), "C10");
    EXPECT_EQ(window->SlotPicture(4), "C1");
    EXPECT_EQ(sound->plays, 5);
    EXPECT_TRUE(window->StatusText().startsWith("Royal Flush"));
    EXPECT_EQ(window->lstSeat->topLevelItem(1)->text(1), "ann");
    EXPECT_EQ(window->lstSeat->topLevelItem(0)->text(2), "Card Changing");
    EXPECT_TRUE(window->cmdDone->isVisible());
    EXPECT_FALSE(window->cmdCall->isVisible());

    QTest::mouseClick(window->imgCard[0], Qt::LeftButton);
    QTest::mouseClick(window->imgCard[4], Qt::LeftButton);
    QTest::mouseClick(window->imgCard[2], Qt::LeftButton);
    QTest::mouseClick(window->imgCard[2], Qt::LeftButton);
    EXPECT_EQ(window->SlotPicture(0), "");
    EXPECT_EQ(window->SlotPicture(2), "CQ");
    QTest::mouseClick(window->cmdDone, Qt::LeftButton);
    EXPECT_TRUE(clientSent("EXCHANGE\t0\t4"));
    EXPECT_FALSE(window->cmdDone->isVisible());

    serverSends("EXCHANGE\t20\t9\t10\t11\t21\r\n");
    ASSERT_TRUE(waitUntil([&] { return window->SlotPicture(4) == "D10"; }));
    EXPECT_EQ(window->SlotPicture(0), "D9");
    EXPECT_EQ(sound->plays, 7);
    EXPECT_FALSE(window->Hand.CardHidden(0));

    serverSends("BET\r\n");
    ASSERT_TRUE(waitUntil([&] { return window->cmdRaise->isVisible(); }));
    EXPECT_TRUE(window->txtRaise->isVisible());
    window->txtRaise->clear();
    QTest::mouseClick(window->cmdRaise, Qt::LeftButton);
    EXPECT_TRUE(clientSent("BET\t"));
    EXPECT_FALSE(window->cmdRaise->isVisible());

    QTest::keyClicks(window->txtChat, "  hello ");
    QTest::keyClick(window->txtChat, Qt::Key_Return);
    EXPECT_TRUE(clientSent("CHAT\thello"));
    EXPECT_TRUE(window->txtChat->text().isEmpty());
    QTest::keyClicks(window->txtChat, "   ");
    QTest::keyClick(window->txtChat, Qt::Key_Enter);
    EXPECT_TRUE(window->txtChat->text().isEmpty());
    serverSends("CHAT\tbob> hello\r\nSEAT\t2\r\n");
    ASSERT_TRUE(waitUntil([&] { return window->windowTitle() == "Tessarin v0.924 - Seat 2"; }));
    EXPECT_EQ(window->txtChatLog->toPlainText(), "\nbob> hello");
    EXPECT_TRUE(got.empty()) << "a chat line of blanks sends nothing";

    window->mnuStartGame->trigger();
    EXPECT_TRUE(clientSent("STARTGAME"));
    EXPECT_TRUE(window->txtTcp->toPlainText().contains(">EXCHANGE 0 4\n"));
    EXPECT_TRUE(window->txtTcp->toPlainText().contains("SEAT_BANK 995 995 1000"));
}

TEST_F(TableClientTest, TestModeTracesItsLoginAndStartsTheSecondCopy) {
    start("-test");
    serverSends("HELLO\tQuorvane v0.924\r\nLOGIN\r\n");
    EXPECT_TRUE(clientSent("LOGIN\tTestPlayer1"));
    EXPECT_TRUE(clientSent("NEWGAME\tTestGame"));
    EXPECT_EQ(window->txtTcp->toPlainText(), "HELLO Quorvane v0.924\nLOGIN\n>LOGIN TestPlayer1\n>NEWGAME TestGame\n");
    EXPECT_EQ(desktop->copies, Lines{"-test2"});
    EXPECT_TRUE(dialogs->prompts.empty());
}

TEST_F(TableClientTest, AboutOpensTheLinkWithTheEncodedTitle) {
    start("", false);
    window->mnuAbout->trigger();
    window->mnuAbout->trigger();
    const std::string link = weblink::aboutLink("Tessarin v0.924");
    EXPECT_EQ(desktop->links, (Lines{link, link}));
    EXPECT_NE(link.find("Tessarin+v0%2E924"), std::string::npos);
}

TEST_F(TableClientTest, ExitBeforeAnyDealSendsExitAndClosesTheWindow) {
    start();
    window->mnuExit->trigger();
    EXPECT_TRUE(clientSent("EXIT"));
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(client->Protocol().ExitMode, 2) << "the close itself counts as closing";
}

TEST_F(TableClientTest, ExitDuringAGameClosesAfterTheNextDeal) {
    start();
    serverSends("STARTGAME\t1\t2\t3\t4\t5\r\n");
    ASSERT_TRUE(waitUntil([&] { return window->SlotPicture(4) == "C7"; }));
    window->mnuExit->trigger();
    EXPECT_TRUE(clientSent("EXIT"));
    EXPECT_EQ(window->StatusText(), "Exiting after this round.");
    EXPECT_TRUE(window->isVisible());
    serverSends("STARTGAME\t20\t21\t22\t23\t24\r\n");
    EXPECT_TRUE(clientSent("EXIT"));
    EXPECT_TRUE(waitUntil([&] { return !window->isVisible(); }));
    EXPECT_EQ(window->SlotPicture(4), "C7");
}

TEST_F(TableClientTest, ServerClosingShowsTheStatusAndLaterSendsFail) {
    start();
    peer->close();
    ASSERT_TRUE(waitUntil([&] { return window->StatusText() == "Winsock1_Close"; }));
    EXPECT_FALSE(client->Link().IsConnected());
    EXPECT_TRUE(dialogs->boxes.empty());
    const QString trace = window->txtTcp->toPlainText();
    window->mnuStartGame->trigger();
    EXPECT_EQ(window->StatusText(), "winsock_SendCmd error");
    EXPECT_EQ(window->txtTcp->toPlainText(), trace);
}

TEST_F(TableClientTest, ConnectWhileConnectedDoesNothing) {
    start();
    window->ShowStatus("unchanged");
    window->mnuConnect->trigger();
    EXPECT_EQ(window->StatusText(), "unchanged");
    EXPECT_FALSE(server.hasPendingConnections());
    EXPECT_TRUE(client->Link().IsConnected());
}

TEST_F(TableClientTest, NoServerAsksForAHostAndReportsTheFailure) {
    start("", false);
    const quint16 closedPort = server.serverPort();
    server.close();
    client->Link().Port = closedPort;

    // Cancelled prompt: no second attempt, no box of our own.
    client->Link().ConnectToServer();
    ASSERT_EQ(dialogs->prompts.size(), 1u);
    EXPECT_EQ(dialogs->prompts[0].prompt, "Enter IP address or hostname of Quorvane:");
    EXPECT_EQ(dialogs->prompts[0].title, "");
    EXPECT_EQ(dialogs->boxes.size(), 1u) << "the socket's own description of the refusal";
    EXPECT_EQ(window->StatusText(), "Connect Failed");

    // A typed host that does not answer either.
    dialogs->boxes.clear();
    dialogs->answers = {"127.0.0.1"};
    client->Link().ConnectToServer();
    ASSERT_EQ(dialogs->boxes.size(), 3u);
    EXPECT_EQ(dialogs->boxes[2], "Connect Failed");
    EXPECT_EQ(window->StatusText(), "Connect Failed");
}

TEST_F(TableClientTest, AClosedWindowAsksNothingMoreWhenConnectingFails) {
    start("", false);
    const quint16 closedPort = server.serverPort();
    server.close();
    client->Link().Port = closedPort;
    window->close();
    EXPECT_EQ(client->Protocol().ExitMode, 2);
    client->Link().ConnectToServer();
    EXPECT_TRUE(dialogs->prompts.empty());
    EXPECT_TRUE(dialogs->boxes.empty());
    EXPECT_EQ(window->StatusText(), "Connect Failed");
}

TEST(Connection, StatusTextsOfAFailedAttemptInOrder) {
    QTcpServer closed;
    ASSERT_TRUE(closed.listen(QHostAddress::LocalHost, 0));
    const quint16 port = closed.serverPort();
    closed.close();
    FakeView view;
    FakeDialogs dialogs;
    Connection connection(view, dialogs);
    connection.Port = port;
    connection.FirstWaitSeconds = 2;
    connection.ConnectToServer();
    ASSERT_GE(view.statuses.size(), 3u);
    EXPECT_EQ(view.statuses.front(), "Connecting to 127.0.0.1...");
    EXPECT_EQ(view.statuses.back(), "Connect Failed");
    EXPECT_EQ(view.statuses[view.statuses.size() - 2], "") << "the wait clears the panel when it ends";
    EXPECT_NE(std::find(view.statuses.begin(), view.statuses.end(), "Winsock1_Error"), view.statuses.end());
    EXPECT_FALSE(connection.Send("STARTGAME\r\n"));
}

}  // namespace
}  // namespace client::testing
