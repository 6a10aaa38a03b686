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

#include <gtest/gtest.h>

#include "client/table/frm_main.h"
#include "fakes.h"
#include "weblink/url.h"

namespace client::testing {
namespace {

template <typename Pred>
bool waitUntil(Pred pred) {
    QElapsedTimer clock;
    clock.start();
    while (!pred()) {
        if (clock.elapsed() > 5000) return false;
        QTest::qWait(5);
    }
    return true;
}

class TableClientTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0)); }

    // Builds the client; shown, it connects at once. Without a server it stays hidden.
    void start(bool connect = true) {
        client =
            std::make_unique<TableClient>(window, "", std::unique_ptr<IDialogs>(dialogs = new FakeDialogs),
                                          std::unique_ptr<IWindowDesktop>(desktop = new FakeDesktop));
        client->connection().port = server.serverPort();
        client->connection().firstWaitSeconds = 2;
        client->connection().typedWaitSeconds = 1;
        if (!connect) return server.close();
        window.show();
        ASSERT_TRUE(waitUntil([&] { return server.hasPendingConnections(); }));
        peer = server.nextPendingConnection();
        QObject::connect(peer, &QTcpSocket::readyRead, [this] { got += peer->readAll().toStdString(); });
        ASSERT_TRUE(waitUntil([&] { return client->connection().isConnected(); }));
    }
    void serverSends(const std::string& text) { peer->write(text.data(), qint64(text.size())); }
    // The client's next line without its CR LF; what there is when no line end comes.
    std::string clientSent() {
        waitUntil([&] { return got.find("\r\n") != std::string::npos; });
        const auto end = std::min(got.find("\r\n"), got.size());
        const std::string line = got.substr(0, end);
        got.erase(0, end + 2);
        return line;
    }

    QTcpServer server;
    QTcpSocket* peer = nullptr;
    std::string got;
    frmMain window{std::make_unique<CountingSound>()};
    FakeDialogs* dialogs = nullptr;
    FakeDesktop* desktop = nullptr;
    std::unique_ptr<TableClient> client;
};

TEST_F(TableClientTest, PlaysAHandWithClicksAndKeysThenExitsAfterTheNextDeal) {
    start();
    dialogs->answers = {"bob"};
    serverSends("HELLO\tQuorvane v0.924\r\nLOGIN\r\n");
    EXPECT_EQ(clientSent(), "LOGIN\tbob");
    serverSends("STARTGAME\t8\t9\t10\t11\t12\r\n");
    ASSERT_TRUE(waitUntil([&] { return window.cmdDone->isVisible(); }));
    EXPECT_TRUE(window.statusText().startsWith("Royal Flush"));

    for (int slot : {0, 4}) QTest::mouseClick(window.imgCard[slot], Qt::LeftButton);
    QTest::mouseClick(window.cmdDone, Qt::LeftButton);
    EXPECT_EQ(clientSent(), "EXCHANGE\t0\t4");
    EXPECT_FALSE(window.cmdDone->isVisible());
    serverSends("EXCHANGE\t20\t9\t10\t11\t21\r\nBET\r\n");
    ASSERT_TRUE(waitUntil([&] { return window.cmdRaise->isVisible(); }));
    EXPECT_EQ(window.slotPicture(4), "D10");
    window.txtRaise->clear();
    QTest::mouseClick(window.cmdRaise, Qt::LeftButton);
    EXPECT_EQ(clientSent(), "BET\t");
    EXPECT_FALSE(window.cmdRaise->isVisible());

    QTest::keyClicks(window.txtChat, "  hello ");
    QTest::keyClick(window.txtChat, Qt::Key_Return);
    EXPECT_EQ(clientSent(), "CHAT\thello");
    EXPECT_TRUE(window.txtChat->text().isEmpty());

    window.mnuExit->trigger();
    EXPECT_EQ(clientSent(), "EXIT");
    EXPECT_EQ(window.statusText(), "Exiting after this round.");
    serverSends("STARTGAME\t40\t41\t42\t43\t44\r\n");
    EXPECT_EQ(clientSent(), "EXIT");
    EXPECT_TRUE(waitUntil([&] { return !window.isVisible(); }));
    EXPECT_EQ(window.slotPicture(4), "D10");
}

TEST_F(TableClientTest, ServerClosingShowsTheStatusAndLaterSendsFail) {
    start();
    peer->close();
    ASSERT_TRUE(waitUntil([&] { return window.statusText() == "Winsock1_Close"; }));
    EXPECT_FALSE(client->connection().isConnected());
    EXPECT_TRUE(dialogs->boxes.empty());
    window.mnuStartGame->trigger();
    EXPECT_EQ(window.statusText(), "winsock_SendCmd error");
    EXPECT_FALSE(window.txtTcp->toPlainText().contains(">STARTGAME"));
}

TEST_F(TableClientTest, NoServerAsksForAHostAndReportsTheFailureAboutStillWorks) {
    start(false);
    client->connection().ConnectToServer();  // the host prompt is cancelled
    EXPECT_EQ(dialogs->prompts, (std::vector<Prompt>{{"Enter IP address or hostname of Quorvane:", "", ""}}));
    EXPECT_EQ(dialogs->boxes.size(), 1u) << "the socket's own description of the refusal";
    EXPECT_EQ(window.statusText(), "Connect Failed");

    dialogs->boxes.clear();
    dialogs->answers = {"127.0.0.1"};  // a typed host that does not answer either
    client->connection().ConnectToServer();
    ASSERT_EQ(dialogs->boxes.size(), 3u);
    EXPECT_EQ(dialogs->boxes[2], "Connect Failed");

    window.mnuAbout->trigger();
    EXPECT_EQ(desktop->links, Lines{weblink::aboutLink("Tessarin v0.924")});
    EXPECT_NE(desktop->links[0].find("Tessarin+v0%2E924"), std::string::npos);
}

TEST_F(TableClientTest, AClosedWindowAsksNothingMoreWhenConnectingFails) {
    start(false);
    window.close();
    EXPECT_EQ(client->protocol().ExitMode, 2);
    client->connection().ConnectToServer();
    EXPECT_TRUE(dialogs->prompts.empty());
    EXPECT_TRUE(dialogs->boxes.empty());
    EXPECT_EQ(window.statusText(), "Connect Failed");
}

}  // namespace
}  // namespace client::testing
