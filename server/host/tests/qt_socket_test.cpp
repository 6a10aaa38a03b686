// The slot socket over QTcpSocket: no Nagle delay, bytes both ways, and which closes raise events.

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
    QSignalSpy closes{&slot, &QtSocket::closed};
};

TEST_F(QtSocketTest, LatinOneBytesTravelUnchangedWithoutNagleDelay) {
    EXPECT_EQ(slot.state(), 7);
    EXPECT_EQ(slot.peerPort(), peer->socket.localPort());
    EXPECT_EQ(slot.findChild<QTcpSocket*>()->socketOption(QAbstractSocket::LowDelayOption).toInt(), 1);
    slot.send("CHAT\tcaf\xe9 \xff\r\n");
    EXPECT_EQ(peer->readLine(), std::optional<std::string>("CHAT\tcaf\xe9 \xff"));
    QSignalSpy arrivals(&slot, &QtSocket::dataArrival);
    const std::string incoming = "LOGIN\tJos\xe9\r\nSE";
    peer->sendRaw(incoming);
    std::string got;
    EXPECT_TRUE(waitFor([&] { return (got += slot.readAll()).size() >= incoming.size(); }));
    EXPECT_EQ(got, incoming);
    ASSERT_FALSE(arrivals.isEmpty());
    EXPECT_EQ(arrivals.first().at(0).toInt(), 4);
}

TEST_F(QtSocketTest, PeerCloseIsReportedOnce) {
    peer->socket.disconnectFromHost();
    ASSERT_TRUE(waitFor([&] { return !closes.isEmpty(); }));
    QTest::qWait(50);
    EXPECT_EQ(closes.size(), 1);
    slot.close();
    EXPECT_EQ(slot.state(), 0);
}

TEST_F(QtSocketTest, OurOwnCloseRaisesNoEventAndLaterSendsAreDropped) {
    slot.close();
    EXPECT_TRUE(peer->waitClosed());
    slot.send("LOGIN\r\n");
    slot.close();
    QTest::qWait(50);
    EXPECT_TRUE(closes.isEmpty());
    EXPECT_EQ(peer->pending(), "");
}

}  // namespace
}  // namespace server::testing
