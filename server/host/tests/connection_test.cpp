// The server over real TCP on the loopback: greeting, a whole hand, the ten
// slots, and the connection lines of the log.

#include <set>

#include "poker/hand_value.h"
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

TEST_F(ConnectionTest, TwoPlayersPlayAWholeHandAndTheNextIsDealt) {
    LineClient& a = connect("Alice");
    LineClient& b = connect("Bob");
    a.send("NEWGAME\tfriday");
    a.expect({"OK\tNEWGAME 1", "SEAT\t0"});
    b.send("JOINGAME\t1");
    b.expect({"OK\tJOINGAME", "SEAT\t1"});
    a.expect(report("", "alice bob", "3 2", "", ""));

    a.send("STARTGAME");
    const std::string dealtA = a.readLine().value_or(""), dealtB = b.readLine().value_or("");
    ASSERT_EQ(dealtA.rfind("STARTGAME\t", 0), 0u) << dealtA;
    ASSERT_EQ(dealtB.rfind("STARTGAME\t", 0), 0u) << dealtB;
    auto handA = cardsOf(dealtA);
    const auto handB = cardsOf(dealtB);
    std::set<int> dealt(handA.begin(), handA.end());
    dealt.insert(handB.begin(), handB.end());
    EXPECT_EQ(dealt.size(), 10u) << "a card was dealt twice";
    for (LineClient* c : {&a, &b}) c->expect(report("5 5", "alice bob", "4 4", "", "995 995"));

    // Alice changes positions 1 and 3, Bob keeps his hand.
    a.send("EXCHANGE\t1\t3");
    for (LineClient* c : {&a, &b}) c->expect(report("5 5", "alice bob", "4 4", "2", "995 995"));
    const auto newA = cardsOf(a.readLine().value_or(""));
    for (int p : {0, 2, 4}) EXPECT_EQ(newA[p], handA[p]) << "position " << p;
    for (int p : {1, 3}) EXPECT_FALSE(dealt.count(newA[p])) << "position " << p << " drew a dealt card";
    handA = newA;
    b.send("EXCHANGE");
    const L afterB = report("5 5", "alice bob", "5 4", "2 0", "995 995");
    a.expect(afterB + L{"BET"});
    b.expect(afterB);
    EXPECT_EQ(cardsOf(b.readLine().value_or("")), handB);

    a.send("BET\t10");
    const L afterRaise = report("15 5", "alice bob", "5 5", "2 0", "985 995");
    a.expect(afterRaise);
    b.expect(afterRaise + L{"BET"});

    // The showdown: whoever holds the better hand takes the pot (a full tie goes to seat 0).
    poker::clsHandValue valueA, valueB;
    valueA.LoadCards(handA);
    valueA.Check_Hand();
    valueB.LoadCards(handB);
    valueB.Check_Hand();
    const int winner = valueB.WinsOf(valueA).value_or(false) ? 1 : 0;
    b.send("BET\t0");
    for (LineClient* c : {&a, &b}) {
        c->expect(report("15 15", "alice bob", "5 6", "2 0", "985 985") + L{"WINNER\t" + std::to_string(winner)});
        EXPECT_EQ(c->readLine().value_or("").rfind("STARTGAME\t", 0), 0u);
        c->expect(report("5 5", "alice bob", "4 4", "", winner == 0 ? "1010 980" : "980 1010"));
    }
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
