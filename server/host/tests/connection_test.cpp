// The server over real TCP on the loopback: greeting, a whole hand, the ten
// slots, and the connection lines of the log.

#include "server/host/tests/host_fixture.h"

namespace server::testing {
namespace {

using ConnectionTest = HostTest;

TEST_F(ConnectionTest, GreetingThenLoginWithLatinOneBytesAndNoNagleDelay) {
    LineClient& c = connect();
    auto* tcp = window->Winsock1(1).findChild<QTcpSocket*>();
    ASSERT_NE(tcp, nullptr);
    EXPECT_EQ(tcp->socketOption(QAbstractSocket::LowDelayOption).toInt(), 1);
    // Nothing else was queued: the next answer is the prompt for this request.
    c.send("SEAT");
    c.send("LOGIN\tJos\xC9");
    c.send("SEAT");
    c.send("NEWGAME\tcaf\xe9");
    c.send("CHAT\t\xff!");
    c.expect({"LOGIN", "OK\tLOGIN", "SEAT\t-1", "OK\tNEWGAME 1", "SEAT\t0", "CHAT\tjos\xe9> \xff!"});
    EXPECT_EQ(c.pending(), "");
    // The slot reports our own close to nobody, and sends after it are dropped.
    window->Winsock1(1).close();
    EXPECT_TRUE(c.waitClosed());
    window->Winsock1(1).send("LOGIN\r\n");
    EXPECT_EQ(logLines(), L{"Winsock1_ConnectionRequest: index=0"});
}

TEST_F(ConnectionTest, TwoPlayersPlayTheExampleHand) {
    LineClient* c[] = {&connect("Ann"), &connect("bob")};
    for (const Step& step : exampleHand()) {
        SCOPED_TRACE(step.line);
        c[step.slot - 1]->send(step.line);
        for (int i = 0; i < 2; ++i) c[i]->expect(step.to[i]);
    }
    EXPECT_EQ(c[0]->pending() + c[1]->pending(), "");
}

TEST_F(ConnectionTest, EleventhConnectionIsClosedAtOnceAndOnlyLogged) {
    for (int i = 0; i < frmMain::kSlots; ++i) connect();
    const auto before = logLines();
    LineClient extra(port);
    EXPECT_TRUE(extra.waitClosed());
    EXPECT_EQ(extra.pending(), "");
    EXPECT_EQ(logLines(), before + L{"Winsock1_ConnectionRequest: index=0"});
    // The ten players are not disturbed.
    for (auto& c : clients) {
        c->send("SEAT");
        c->expect({"LOGIN"});
    }
}

TEST_F(ConnectionTest, LowestClosedSlotTakesTheNextConnectionAndTheSessionIsReset) {
    std::vector<LineClient*> c;
    for (int i = 0; i < 3; ++i) c.push_back(&connect("p" + std::to_string(i)));
    for (int i = 0; i < 3; ++i) EXPECT_EQ(slotOf(*c[i]), i + 1);
    c[1]->send("NEWGAME\tx");
    c[1]->expect({"OK\tNEWGAME 1", "SEAT\t0"});
    c[1]->socket.disconnectFromHost();
    ASSERT_TRUE(waitForLog("Winsock1_Close: index=2"));
    EXPECT_EQ(window->core().client(2).ClientStateText(), "Void");
    EXPECT_FALSE(window->core().game(1).Active());
    EXPECT_EQ(slotOf(connect()), 2);
    EXPECT_EQ(slotOf(connect()), 4);
    const std::string request = "Winsock1_ConnectionRequest: index=0";
    EXPECT_EQ(logLines(), (L{request, request, request, "Winsock1_Close: index=2", request, request}));
}

TEST_F(ConnectionTest, SocketErrorIsLoggedAndEndsTheSessionLikeAClose) {
    LineClient& a = connect("ann");
    LineClient& b = connect("ben");
    a.send("NEWGAME\tx");
    b.send("JOINGAME\t1");
    a.read(7);
    window->Winsock1_Error(2, 10053, QStringLiteral("Software caused connection abort"));
    EXPECT_EQ(logLines().back(), "Winsock1_Error: index=2 err=Software caused connection abort");
    EXPECT_EQ(window->core().client(2).ClientStateText(), "Void");
    EXPECT_TRUE(b.waitClosed());
    // Ann's table lets her know the seat is free again, and the slot takes the next caller.
    a.expect(report("", "ann", "3", "", ""));
    EXPECT_EQ(slotOf(connect()), 2);
}

}  // namespace
}  // namespace server::testing
