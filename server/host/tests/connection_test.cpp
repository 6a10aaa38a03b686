// The server over real TCP on the loopback: greeting, a whole hand, the ten
// slots, and the connection lines of the log.

#include <algorithm>
#include <array>
#include <set>
#include <sstream>

#include "poker/hand_value.h"
#include "wire/framing.h"
#include "server/host/tests/host_fixture.h"

namespace server::testing {
namespace {

std::vector<std::string> fieldsOf(const std::string& line) {
    std::vector<std::string> fields;
    std::stringstream in(line);
    std::string f;
    while (std::getline(in, f, '\t')) fields.push_back(f);
    if (!line.empty() && line.back() == '\t') fields.push_back("");
    return fields;
}

std::array<std::int16_t, 5> cardsOf(const std::string& line) {
    const auto f = fieldsOf(line);
    std::array<std::int16_t, 5> cards{};
    EXPECT_EQ(f.size(), 6u) << line;
    for (std::size_t p = 0; p < 5 && p + 1 < f.size(); ++p)
        cards[p] = static_cast<std::int16_t>(std::stoi(f[p + 1]));
    return cards;
}

std::string report(const std::string& antes, const std::string& names, const std::string& states,
                   const std::string& exchanges, const std::string& banks) {
    return "SEAT_ANTE\t" + antes + "\nSEAT_NAME\t" + names + "\nSEAT_STATE\t" + states +
           "\nSEAT_EXCHANGE\t" + exchanges + "\nSEAT_BANK\t" + banks;
}

// Reads the five lines of a table report and joins them with LF for one comparison.
std::string readReport(LineClient& c) {
    std::string joined;
    for (int i = 0; i < 5; ++i) {
        const auto line = c.readLine();
        if (!line) return joined + "<missing>";
        joined += (i ? "\n" : "") + *line;
    }
    return joined;
}

using ConnectionTest = HostTest;

TEST_F(ConnectionTest, NewConnectionIsGreetedAndAskedToLogIn) {
    LineClient& c = connectGreeted();
    // Nothing else was queued: the next answer is the prompt for this request.
    c.send("SEAT");
    c.expectLines({"LOGIN"});
    c.send("LOGIN\tAnn");
    c.expectLines({"OK\tLOGIN"});
    c.send("SEAT");
    c.expectLines({"SEAT\t-1"});
    EXPECT_TRUE(c.pending().empty());
}

TEST_F(ConnectionTest, TwoPlayersPlayAWholeHandAndTheNextIsDealt) {
    LineClient& a = connectGreeted();
    LineClient& b = connectGreeted();
    a.send("LOGIN\tAlice");
    a.expectLines({"OK\tLOGIN"});
    a.send("NEWGAME\tfriday");
    a.expectLines({"OK\tNEWGAME 1", "SEAT\t0"});
    b.send("LOGIN\tBob");
    b.expectLines({"OK\tLOGIN"});
    b.send("JOINGAME\t1");
    b.expectLines({"OK\tJOINGAME", "SEAT\t1"});
    const std::string empty4 = "\t\t\t\t";
    // Bob is seated before his session records the table, so the report shows him still selecting.
    EXPECT_EQ(readReport(a), report("0\t0\t0\t0\t0\t0", "alice\tbob" + empty4, "3\t2\t0\t0\t0\t0",
                                    "-1\t-1\t-1\t-1\t-1\t-1", "1000\t1000\t1000\t1000\t1000\t1000"));

    a.send("STARTGAME");
    const auto dealtA = a.readLine();
    const auto dealtB = b.readLine();
    ASSERT_TRUE(dealtA && dealtB);
    ASSERT_EQ(dealtA->rfind("STARTGAME\t", 0), 0u) << *dealtA;
    ASSERT_EQ(dealtB->rfind("STARTGAME\t", 0), 0u) << *dealtB;
    auto handA = cardsOf(*dealtA);
    auto handB = cardsOf(*dealtB);
    std::set<int> dealt(handA.begin(), handA.end());
    dealt.insert(handB.begin(), handB.end());
    EXPECT_EQ(dealt.size(), 10u) << "a card was dealt twice";
    const std::string afterDeal = report("5\t5\t0\t0\t0\t0", "alice\tbob" + empty4, "4\t4\t0\t0\t0\t0",
                                         "-1\t-1\t-1\t-1\t-1\t-1", "995\t995\t1000\t1000\t1000\t1000");
    EXPECT_EQ(readReport(a), afterDeal);
    EXPECT_EQ(readReport(b), afterDeal);

    // Alice changes positions 1 and 3, Bob keeps his hand.
    a.send("EXCHANGE\t1\t3");
    const std::string afterA = report("5\t5\t0\t0\t0\t0", "alice\tbob" + empty4, "4\t4\t0\t0\t0\t0",
                                      "2\t-1\t-1\t-1\t-1\t-1", "995\t995\t1000\t1000\t1000\t1000");
    EXPECT_EQ(readReport(a), afterA);
    EXPECT_EQ(readReport(b), afterA);
    const auto exchangedA = a.readLine();
    ASSERT_TRUE(exchangedA);
    ASSERT_EQ(exchangedA->rfind("EXCHANGE\t", 0), 0u) << *exchangedA;
    const auto newA = cardsOf(*exchangedA);
    for (int p : {0, 2, 4}) EXPECT_EQ(newA[p], handA[p]) << "position " << p;
    for (int p : {1, 3}) EXPECT_FALSE(dealt.count(newA[p])) << "position " << p << " drew a dealt card";
    handA = newA;

    b.send("EXCHANGE");
    const std::string afterB = report("5\t5\t0\t0\t0\t0", "alice\tbob" + empty4, "5\t4\t0\t0\t0\t0",
                                      "2\t0\t-1\t-1\t-1\t-1", "995\t995\t1000\t1000\t1000\t1000");
    EXPECT_EQ(readReport(a), afterB);
    EXPECT_EQ(readReport(b), afterB);
    const auto exchangedB = b.readLine();
    ASSERT_TRUE(exchangedB);
    EXPECT_EQ(cardsOf(*exchangedB), handB);
    a.expectLines({"BET"});

    a.send("BET\t10");
    const std::string afterRaise = report("15\t5\t0\t0\t0\t0", "alice\tbob" + empty4, "5\t5\t0\t0\t0\t0",
                                          "2\t0\t-1\t-1\t-1\t-1", "985\t995\t1000\t1000\t1000\t1000");
    EXPECT_EQ(readReport(a), afterRaise);
    EXPECT_EQ(readReport(b), afterRaise);
    b.expectLines({"BET"});

    // The showdown: whoever holds the better hand takes the pot (a full tie goes to seat 0).
    poker::clsHandValue valueA, valueB;
    valueA.LoadCards(handA);
    valueA.Check_Hand();
    valueB.LoadCards(handB);
    valueB.Check_Hand();
    const int winner = valueB.WinsOf(valueA).value_or(false) ? 1 : 0;

    b.send("BET\t0");
    const std::string beforePay = report("15\t15\t0\t0\t0\t0", "alice\tbob" + empty4, "5\t6\t0\t0\t0\t0",
                                         "2\t0\t-1\t-1\t-1\t-1", "985\t985\t1000\t1000\t1000\t1000");
    const std::string banks = winner == 0 ? "1010\t980" : "980\t1010";
    const std::string nextDeal = report("5\t5\t0\t0\t0\t0", "alice\tbob" + empty4, "4\t4\t0\t0\t0\t0",
                                        "-1\t-1\t-1\t-1\t-1\t-1", banks + "\t1000\t1000\t1000\t1000");
    for (LineClient* c : {&a, &b}) {
        SCOPED_TRACE(c == &a ? "alice" : "bob");
        EXPECT_EQ(readReport(*c), beforePay);
        c->expectLines({"WINNER\t" + std::to_string(winner)});
        const auto next = c->readLine();
        ASSERT_TRUE(next);
        EXPECT_EQ(next->rfind("STARTGAME\t", 0), 0u) << *next;
        EXPECT_EQ(readReport(*c), nextDeal);
    }
}

TEST_F(ConnectionTest, EleventhConnectionIsClosedAtOnceAndOnlyLogged) {
    for (int i = 0; i < frmMain::kSlots; ++i) connectGreeted();
    for (int i = 1; i <= frmMain::kSlots; ++i) EXPECT_EQ(window->Winsock1(i).state(), 7) << "slot " << i;
    const auto before = logLines();

    LineClient extra(port);
    EXPECT_TRUE(extra.waitClosed());
    EXPECT_TRUE(extra.pending().empty()) << "the refused caller was sent " << extra.pending();

    auto after = logLines();
    ASSERT_EQ(after.size(), before.size() + 1);
    EXPECT_EQ(after.back(), "Winsock1_ConnectionRequest: index=0");
    // The ten players are not disturbed.
    for (auto& c : clients) {
        c->send("SEAT");
        c->expectLines({"LOGIN"});
    }
}

TEST_F(ConnectionTest, LowestClosedSlotTakesTheNextConnection) {
    LineClient& first = connectGreeted();
    LineClient& second = connectGreeted();
    LineClient& third = connectGreeted();
    EXPECT_EQ(slotOf(first), 1);
    EXPECT_EQ(slotOf(second), 2);
    EXPECT_EQ(slotOf(third), 3);

    second.disconnect();
    ASSERT_TRUE(waitForLog("Winsock1_Close: index=2"));
    EXPECT_EQ(window->Winsock1(2).state(), 0);

    LineClient& fourth = connectGreeted();
    EXPECT_EQ(slotOf(fourth), 2);
    LineClient& fifth = connectGreeted();
    EXPECT_EQ(slotOf(fifth), 4);

    const std::vector<std::string> expected{
        "Winsock1_ConnectionRequest: index=0", "Winsock1_ConnectionRequest: index=0",
        "Winsock1_ConnectionRequest: index=0", "Winsock1_Close: index=2",
        "Winsock1_ConnectionRequest: index=0", "Winsock1_ConnectionRequest: index=0"};
    EXPECT_EQ(logLines(), expected);
}

TEST_F(ConnectionTest, PeerCloseResetsTheSessionAndFreesTheSlot) {
    LineClient& c = connectGreeted();
    c.send("LOGIN\tcarol");
    c.expectLines({"OK\tLOGIN"});
    c.send("NEWGAME\tx");
    c.expectLines({"OK\tNEWGAME 1", "SEAT\t0"});
    c.disconnect();
    ASSERT_TRUE(waitForLog("Winsock1_Close: index=1"));
    clsClient& s = window->core().client(1);
    EXPECT_EQ(s.ClientStateText(), "Void");
    EXPECT_EQ(s.m_username, "");
    EXPECT_FALSE(s.InGame());
    EXPECT_EQ(window->Winsock1(1).state(), 0);
}

TEST_F(ConnectionTest, SocketErrorIsLoggedAndEndsTheSessionLikeAClose) {
    LineClient& a = connectGreeted();
    LineClient& b = connectGreeted();
    a.send("LOGIN\tann");
    a.expectLines({"OK\tLOGIN"});
    a.send("NEWGAME\tx");
    a.expectLines({"OK\tNEWGAME 1", "SEAT\t0"});
    b.send("LOGIN\tben");
    b.expectLines({"OK\tLOGIN"});
    b.send("JOINGAME\t1");
    b.expectLines({"OK\tJOINGAME", "SEAT\t1"});
    ASSERT_TRUE(a.readUntil("SEAT_BANK"));

    // The socket layer reports a failure on Ben's connection.
    window->Winsock1_Error(2, 10053, QStringLiteral("Software caused connection abort"));

    const auto lines = logLines();
    EXPECT_EQ(lines.back(), "Winsock1_Error: index=2 err=Software caused connection abort");
    EXPECT_EQ(window->Winsock1(2).state(), 0);
    EXPECT_EQ(window->core().client(2).ClientStateText(), "Void");
    EXPECT_FALSE(window->core().client(2).InGame());
    EXPECT_TRUE(b.waitClosed());
    // Ann's table lets her know the seat is free again.
    const auto names = a.readUntil("SEAT_NAME");
    ASSERT_TRUE(names);
    EXPECT_EQ(*names, "SEAT_NAME\tann\t\t\t\t\t");
    // The slot is free for the next caller.
    LineClient& c = connectGreeted();
    EXPECT_EQ(slotOf(c), 2);
}

TEST_F(ConnectionTest, RunawayLineWithoutEndClosesTheConnection) {
    LineClient& c = connectGreeted();
    c.sendRaw(std::string(wire::kMaxPendingBytes + 1024, 'x'));
    EXPECT_TRUE(c.waitClosed());
    EXPECT_TRUE(waitFor([&] { return window->Winsock1(1).state() == 0; }));
    EXPECT_EQ(window->core().client(1).ClientStateText(), "Void");
    // The operator learns about it: more than the connection request was logged.
    EXPECT_GT(logLines().size(), 1u);
}

}  // namespace
}  // namespace server::testing
