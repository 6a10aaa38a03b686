// The whole client, real window and connection, against a scripted server and the real one on 127.0.0.1.
#include "client/protocol/table_client.h"

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <gmock/gmock.h>
#include <sys/socket.h>

#include "client/core/tests/fakes.h"
#include "client/protocol/command_line.h"
#include "client/table/frm_main.h"
#ifdef QUORVANE_TEST_WITH_SERVER
#include "server/host/server_host.h"
#endif

namespace client::testing {
namespace {

// The player's own settings stay untouched.
const QTemporaryDir settings;
const bool moved = (QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path()), true);

// Logs "link URL" and "start PROGRAM ARGUMENTS" with the dialogs; no program starts.
struct Browser : IWindowDesktop {
    explicit Browser(FakeClient& log) : log(log) {}
    FakeClient& log;
    void startSecondCopy(const std::string&) override {}
    void openLink(const std::string& url) override { log.put("link " + url); }
    bool startProgram(const std::string& program, const std::vector<std::string>& arguments) override {
        std::string line = "start " + program;
        for (const auto& argument : arguments) line += " " + argument;
        return log.put(line), false;
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
                                                std::make_unique<Browser>(*fake));
    client->connection().port = server.serverPort();
    const bool ready = !window.mnuAddComputer->isEnabled() && window.focusWidget() == window.centralWidget();
    EXPECT_EQ(table() + (ready ? "" : " !"), "back,back,back,back,back 00000") << "no table, keys to it";
    fake->answer = "ann", window.show();  // connects at once
    ASSERT_TRUE(accepted());
    peer->write("LOGIN\r\nOK\tLOGIN\r\n");  // a server without the extension: FEATURES goes unanswered
    ASSERT_TRUE(sent("LOGIN\tann\r\nFEATURES\tturn\tshowdown\tgames\treasons\r\n"));
    fake->answer = "friday", window.mnuNewGame->trigger();
    peer->write(
        "SEAT_NAME\tq\tq\tq\tq\nr\r\nSEAT_NAME\tann\t\r\nSEAT_ANTE\t0\t5\r\nSEAT_STATE\t4\t9\r\n"
        "SEAT_EXCHANGE\t-1\t0\r\nSEAT_BANK\t 995\t5\t-0\t-7\r\nOK\tNEWGAME 4\r\n"
        "STARTGAME\t8\t9\t10\t11\t12\r\n");
    ASSERT_TRUE(QTest::qWaitFor([&] { return table().ends_with("10000"); }));
    QStringList seats;  // the ante above 0, exchanged and bank from 0 on, as the server wrote them, no bank
    for (int r = 0; r < 4; ++r)  // for an empty seat, a name on one line; a row past a line's values stays
        for (int c = 1; c < 6; ++c) seats << window.lstSeat->topLevelItem(r)->text(c);
    EXPECT_EQ(seats.join(","), "ann,Card Changing,, 995,,,UnknownState9,0,,5,q,,,-0,,q r,,,,");
    // Cards chosen by click or key; in the chat box the keys only type, and its Enter sends the chat.
    QTest::mouseClick(window.imgCard[4], Qt::LeftButton);
    for (Qt::Key key : {Qt::Key_1, Qt::Key_2, Qt::Key_2}) QTest::keyClick(&window, key);
    QTest::keyClicks(window.txtChat, "  hello 3 fr "), QTest::keyClick(window.txtChat, Qt::Key_Return);
    EXPECT_EQ(table() + window.txtChat->text().toStdString(), "C10*,CJ,CQ,CK,C1* 10000");
    QTest::keyClick(&window, Qt::Key_Return);                                   // Done
    peer->write("EXCHANGE\t20\t60\t10\t11\t21\r\nSEAT_ANTE\t5\t5\r\nBET\r\n");  // 60: the slot keeps its card
    ASSERT_TRUE(QTest::qWaitFor([&] { return table() == "D9,CJ,CQ,CK,D10 01111"; }));
    QTest::keyClick(&window, Qt::Key_3);  // the exchange is over: nothing to mark
    EXPECT_EQ(table(), "D9,CJ,CQ,CK,D10 01111");
    window.centralWidget()->setFocus(), QTest::keyClick(window.centralWidget(), Qt::Key_Tab);  // to the chat
    EXPECT_EQ(QApplication::focusWidget(), window.txtChat);
    QTest::keyClick(window.txtChat, Qt::Key_Escape);  // back to the table, where F passes below
    // Nothing owed: F asks first (No here); owed, it passes at once.
    QTimer::singleShot(0, [&] {
        if (QWidget* box = QApplication::activeModalWidget()) fake->put("ask"), box->close();
    });
    QTest::keyClick(&window, Qt::Key_F);
    window.activateWindow();  // as the desktop does once the box has gone
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    peer->write("SEAT_ANTE\t5\t45\r\nBET\r\n");
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.lstSeat->topLevelItem(1)->text(5) == "45"; }));
    QTest::keyClick(&window, Qt::Key_F);
    EXPECT_TRUE(sent("NEWGAME\tfriday\r\nCHAT\thello 3 fr\r\nEXCHANGE\t0\t4\r\nBET\t-1\r\n"));
    window.mnuAddComputer->trigger();
    EXPECT_EQ(window.statusText(), "Could not start tessarin-bot");
    peer->close();
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.statusText() == "Winsock1_Close"; }));
    EXPECT_FALSE(window.mnuAddComputer->isEnabled()) << "no connection, no table";
    window.mnuStartGame->trigger();
    EXPECT_EQ(window.statusText(), "winsock_SendCmd error");
    EXPECT_TRUE(window.txtTcp->toPlainText().endsWith(">BET -1\n")) << "a failed send is not traced";

    // The first host refuses: the prompt offers the last host that answered; cancelled, no second try.
    QSettings("Quorvane", "Tessarin").setValue("host", "poker");
    // A typed port reaches a server off the usual one.
    const std::string typed = "127.0.0.1:" + std::to_string(server.serverPort());
    client->connection().port = 1;
    client->connection().firstHost = "127.0.0.2", window.mnuConnect->trigger();
    EXPECT_EQ(window.statusText(), "Connect Failed");
    for (const std::string host : {"127.0.0.3", typed.c_str()})
        fake->answer = host, window.mnuConnect->trigger();
    ASSERT_TRUE(accepted());
    EXPECT_EQ(QSettings("Quorvane", "Tessarin").value("host").toString().toStdString(), typed)
        << "kept once it answered";
    client->connection().port = server.serverPort();

    // Lines arrive into an open box; a line or a command that throws is dropped; a reset is an error.
    fake->whileOpen = [&](const std::string& entry) {
        if (entry != "box ERROR: JOINGAME") throw entry;
        peer->write("CHAT\ta> hi\r\n");
        EXPECT_TRUE(QTest::qWaitFor([&] { return window.txtChatLog->toPlainText().endsWith("a> hi"); }));
    };
    peer->write("ERROR\tJOINGAME\r\nERROR\tboom\r\nCHAT\tb> after" + QByteArray(kMaxTraceLine, '!') + "\r\n");
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.txtChatLog->toPlainText().endsWith("!\na> hi"); }));
    EXPECT_TRUE(window.txtTcp->toPlainText().contains("!! ...\n")) << "a long line cut in the trace";
    window.mnuNewGame->trigger();
    fake->whileOpen = nullptr;
    const linger hard{1, 0};  // closing now resets the connection
    ASSERT_EQ(setsockopt(int(peer->socketDescriptor()), SOL_SOCKET, SO_LINGER, &hard, sizeof hard), 0);
    peer->abort();
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.statusText() == "Winsock1_Error"; }));

    // Exit in a game, then the window closed: EXIT is out though the program ends with the window.
    client->connection().firstHost = "127.0.0.1", window.mnuConnect->trigger();
    ASSERT_TRUE(accepted());
    window.mnuAbout->trigger(), window.mnuExit->trigger(), window.close();
    EXPECT_EQ(client->protocol().ExitMode, 2);
    const std::string refused =
        "box Connection refused; prompt Enter IP address or hostname of Quorvane:||poker; ";
    EXPECT_EQ(
        fake->take(),
        "prompt Enter username||; prompt Game name|New Game|test game; ask; start tessarin-bot "
        "--join 4 --name ada --host 127.0.0.1 --port " +
            std::to_string(server.serverPort()) + "; " + refused + refused +
            "box Connection refused; box Connect Failed; " + refused +
            "box ERROR: JOINGAME; box ERROR: boom; prompt Game name|New Game|test game; " +
            "box Connection reset by peer; link http://quorvane.example/poker/?ref=Tessarin+v0%2E924; ");
    client.reset();
    EXPECT_TRUE(sent("EXIT\r\n"));
}

#ifdef QUORVANE_TEST_WITH_SERVER
// Two players at the real server play a hand to its showdown, from the keys and the mouse: both windows
// show its course and its end, and keep it in the history.
TEST(TableClient, TwoPlayersPlayAHandToItsShowdownAtTheServer) {
    server::ServerHost host([](std::span<std::int16_t>) {});  // the deck in order: known hands
    ASSERT_TRUE(host.listen(QHostAddress::LocalHost, 0));
    struct Player {
        frmMain window;
        FakeClient* dialogs = new FakeClient;
        TableClient client{window, "", std::unique_ptr<IDialogs>(dialogs),
                           std::make_unique<Browser>(*dialogs)};
    } ann, bob;
    auto until = [](auto done) { return QTest::qWaitFor(done, 20000); };
    auto seen = [](Player& p) {  // rows 0 and 1 (seat cell, marks, Shown), the pot line, the outcome
        QString s;
        for (const QTreeWidgetItem* i :
             {p.window.lstSeat->topLevelItem(0), p.window.lstSeat->topLevelItem(1)})
            s += i->text(0) + (i->background(0).style() ? " lit" : "") +
                 (i->font(0).bold() ? " bold," : ",") + i->text(6) + "|";
        for (const QLabel* l : {p.window.lblPot, p.window.lblOutcome})
            s += (l->isHidden() ? "-" : l->text()) + "|";
        return s.toStdString();
    };
    // Both windows show it (or bob his own), and then the control is up.
    auto both = [&](const std::string& shown, QWidget* then, std::string bobs = {}) {
        if (bobs.empty()) bobs = shown;
        return until([&] { return seen(ann) == shown && seen(bob) == bobs && !then->isHidden(); });
    };
    for (auto [p, name] : {std::pair{&ann, "ann"}, {&bob, "bob"}}) {
        p->client.connection().port = host.listeningPort(), p->window.outcomeHoldMs = 1 << 30;
        p->dialogs->answer = name, p->window.show();  // connects and logs in
        ASSERT_TRUE(until([&] {
            return p->window.txtTcp->toPlainText().contains("\nFEATURES turn showdown games reasons\n");
        }));
    }
    ann.dialogs->answer = "friday", ann.window.mnuNewGame->trigger();
    ASSERT_TRUE(until([&] { return ann.window.gamePanel->text() == "Game 1: friday"; }));
    bob.dialogs->choice = 0, bob.window.mnuJoinGame->trigger();  // from the list of games
    ASSERT_TRUE(
        until([&] { return bob.window.windowTitle() == "Tessarin v0.924 - Seat 1 - Game 1: friday"; }));
    ann.window.mnuStartGame->trigger(), ann.window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&ann.window) &&
                until([&] { return !ann.window.cmdDone->isHidden() && !bob.window.cmdDone->isHidden(); }));
    // ann swaps her 6C for the QC (5, Enter), then bob his 7C for the KC.
    QTest::keyClick(&ann.window, Qt::Key_5), QTest::keyClick(&ann.window, Qt::Key_Return);
    ASSERT_TRUE(until([&] { return ann.window.slotPicture(4) == "CQ"; }));
    QTest::mouseClick(bob.window.imgCard[0], Qt::LeftButton), bob.window.cmdDone->click();
    // ann bets 20 (R, the amount, Enter), bob calls (Enter): the turn mark moves, each pot line says
    // what its own player owes.
    ASSERT_TRUE(both("▶ 0 lit,|1,|Pot 10 — nothing to call|-|", ann.window.txtRaise))
        << seen(ann) << seen(bob);
    QTest::keyClick(&ann.window, Qt::Key_R);
    for (Qt::Key key : {Qt::Key_2, Qt::Key_0, Qt::Key_Return}) QTest::keyClick(ann.window.focusWidget(), key);
    bob.window.activateWindow();
    ASSERT_TRUE(both("0,|▶ 1 lit,|Pot 30 — nothing to call|-|", bob.window.cmdCall,
                     "0,|▶ 1 lit,|Pot 30 — to call 20|-|") &&
                QTest::qWaitForWindowActive(&bob.window))
        << seen(ann) << seen(bob);
    EXPECT_EQ(ann.window.focusWidget(), ann.window.centralWidget())
        << "the raise box gone, keys to the table";
    QTest::keyClick(&bob.window, Qt::Key_Return);
    // The next hand is dealt at once: the showdown stays in view.
    EXPECT_TRUE(
        both("0,2C 3C 4C 5C QC: Flush Q 5 4 3 2|★ 1 lit bold,KC 8C 9C 10C JC: Flush K J x 9 8|Pot 10 — "
             "nothing to call|bob wins 50 with Flush K J x 9 8|",
             bob.window.cmdDone))
        << seen(ann) << seen(bob);
    EXPECT_EQ(
        bob.window.txtHistory->toPlainText().toStdString(),
        "Your cards: 7C 8C 9C 10C JC, after the draw: KC 8C 9C 10C JC\nDraws: ann 1, bob 1\nann bets 20\n"
        "bob calls 20\nann shows 2C 3C 4C 5C QC: Flush Q 5 4 3 2\n"
        "bob shows KC 8C 9C 10C JC: Flush K J x 9 8\nbob wins 50 with Flush K J x 9 8");
    for (Player* p : {&ann, &bob})
        EXPECT_THAT(p->dialogs->take(), ::testing::Not(::testing::HasSubstr("box"))) << "no WINNER box";
}
#endif

TEST(QtDialogs, BoxesAskedForWhileOneIsOpenFollowItOneAtATime) {
    QWidget owner;
    QtDialogs dialogs(&owner);
    std::string shown;  // each box's text and how many were on screen, as a timer reads and closes them
    QTimer reader;
    QObject::connect(&reader, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        const auto open = std::ranges::count_if(owner.findChildren<QMessageBox*>(), &QWidget::isVisible);
        if (box) shown += box->text().toStdString() + std::to_string(open), box->close();
    });
    reader.start(10);
    QTimer::singleShot(0, [&] { dialogs.msgBox("b"), dialogs.msgBox("c"); });  // as lines arriving meanwhile
    dialogs.msgBox("a"), shown += "|";  // its caller goes on before the next box
    EXPECT_TRUE(QTest::qWaitFor([&] { return shown == "a1|b1c1"; })) << shown;
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
