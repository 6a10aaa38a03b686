// The slot socket over QTcpSocket: states, bytes both ways, and which closes raise events.

#include <QSignalSpy>
#include <QTcpServer>

#include "server/host/qt_socket.h"
#include "server/host/tests/host_fixture.h"

namespace server::testing {
namespace {

class QtSocketTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(listener.listen(QHostAddress::LocalHost, 0));
        peer = std::make_unique<LineClient>(listener.serverPort());
        ASSERT_TRUE(waitFor([&] { return listener.hasPendingConnections(); }));
        slot.accept(listener.nextPendingConnection());
    }

    QTcpServer listener;
    std::unique_ptr<LineClient> peer;
    QtSocket slot{4};
};

TEST(QtSocketClosedTest, AnUnusedSlotIsClosedAndHarmless) {
    QtSocket s(1);
    EXPECT_EQ(s.state(), 0);
    EXPECT_EQ(s.peerAddress(), "");
    EXPECT_EQ(s.peerPort(), 0);
    EXPECT_EQ(s.readAll(), "");
    s.send("HELLO\r\n");
    s.close();
    s.close();
    EXPECT_EQ(s.state(), 0);
}

TEST_F(QtSocketTest, AcceptedConnectionIsConnectedWithoutNagleDelay) {
    EXPECT_EQ(slot.state(), 7);
    EXPECT_EQ(slot.peerAddress(), "127.0.0.1");
    EXPECT_EQ(slot.peerPort(), peer->localPort());
    auto* tcp = slot.findChild<QTcpSocket*>();
    ASSERT_NE(tcp, nullptr);
    EXPECT_EQ(tcp->socketOption(QAbstractSocket::LowDelayOption).toInt(), 1);
}

TEST_F(QtSocketTest, BytesTravelUnchangedBothWays) {
    QSignalSpy arrivals(&slot, &QtSocket::dataArrival);
    const std::string latin1 = "CHAT\tcaf\xe9 \xff\r\n";
    slot.send(latin1);
    EXPECT_EQ(peer->readLine(), std::optional<std::string>("CHAT\tcaf\xe9 \xff"));

    const std::string incoming = "LOGIN\tJos\xe9\r\nSE";
    peer->sendRaw(incoming);
    ASSERT_TRUE(waitFor([&] { return !arrivals.isEmpty(); }));
    EXPECT_EQ(arrivals.first().at(0).toInt(), 4);
    std::string got;
    EXPECT_TRUE(waitFor([&] {
        got += slot.readAll();
        return got.size() >= incoming.size();
    }));
    EXPECT_EQ(got, incoming);
}

TEST_F(QtSocketTest, PeerCloseIsReportedOnceAndFreesTheSlot) {
    QSignalSpy closes(&slot, &QtSocket::closed);
    QSignalSpy errors(&slot, &QtSocket::error);
    peer->disconnect();
    ASSERT_TRUE(waitFor([&] { return !closes.isEmpty(); }));
    QTest::qWait(50);
    EXPECT_EQ(closes.size(), 1);
    EXPECT_EQ(closes.first().at(0).toInt(), 4);
    EXPECT_TRUE(errors.isEmpty());
    slot.close();
    EXPECT_EQ(slot.state(), 0);
}

TEST_F(QtSocketTest, OurOwnCloseRaisesNoEventAndLaterSendsAreDropped) {
    QSignalSpy closes(&slot, &QtSocket::closed);
    slot.close();
    EXPECT_EQ(slot.state(), 0);
    EXPECT_TRUE(peer->waitClosed());
    slot.send("LOGIN\r\n");
    slot.close();
    QTest::qWait(50);
    EXPECT_TRUE(closes.isEmpty());
    EXPECT_TRUE(peer->pending().empty());
}

}  // namespace
}  // namespace server::testing
