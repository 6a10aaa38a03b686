// The window itself: the log, the layout, first activation, test mode, About.

#include <QAction>
#include <QDir>
#include <QFile>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTreeWidget>

#include "server/host/log_text.h"
#include "server/host/test_mode.h"
#include "server/host/tests/host_fixture.h"
#include "weblink/url.h"

namespace server::testing {
namespace {

using WindowTest = HostTest;

TEST_F(WindowTest, WriteLogShowsTheNewestLogWithTheCaretAtTheEnd) {
    window->WriteLog("one");
    window->WriteLog("two");
    const QRegularExpression shape(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d one\n\\d\\d:\\d\\d:\\d\\d two$"));
    EXPECT_TRUE(shape.match(window->txtLog->toPlainText()).hasMatch()) << window->logText();
    for (int i = 0; i < 200; ++i) window->WriteLog("line " + std::to_string(i));
    EXPECT_EQ(window->logText().size(), kLogCapacity);
    EXPECT_TRUE(window->txtLog->toPlainText().endsWith(QStringLiteral("line 199")));
    EXPECT_TRUE(window->txtLog->textCursor().atEnd());
}

TEST_F(WindowTest, ListAndLogShareTheWindowHalfAndHalf) {
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    for (const QSize size : {QSize(700, 501), QSize(400, 300)}) {
        window->resize(size);
        QCoreApplication::processEvents();
        const int w = window->centralWidget()->width(), h = window->centralWidget()->height();
        EXPECT_EQ(window->ListView1->geometry(), QRect(0, 0, w, h / 2));
        EXPECT_EQ(window->txtLog->geometry(), QRect(0, h / 2, w, h / 2));
    }
}

TEST_F(WindowTest, ListeningLineIsWrittenOnceOnFirstActivation) {
    EXPECT_TRUE(logLines().empty());
    window->show();
    const std::string line = "Quorvane listening on port " + std::to_string(port);
    ASSERT_TRUE(waitForLog(line));
    window->Form_Activate();
    EXPECT_EQ(logLines(), L{line});
    // A second window on the same port cannot listen, and says so.
    HostHooks hooks;
    hooks.listenAddress = QHostAddress::LocalHost;
    frmMain second(port, {}, hooks);
    EXPECT_EQ(second.listeningPort(), 0);
    EXPECT_EQ(second.logText().find("Winsock1_Error: index=0 err="), 9u);
}

TEST_F(WindowTest, AboutOpensTheProjectPage) {
    std::vector<std::string> opened;
    HostHooks hooks;
    hooks.openUrl = [&](const std::string& url) { opened.push_back(url); };
    startHost({}, hooks);
    const auto actions = window->menuBar()->actions();
    ASSERT_EQ(actions.size(), 1);
    EXPECT_EQ(actions[0]->text(), "&About");
    actions[0]->trigger();
    EXPECT_EQ(opened, std::vector<std::string>{std::string(weblink::kLinkBase) + "Quorvane+v0%2E924"});
}

TEST_F(WindowTest, OnlyTheExactTestSwitchStartsTheClientOnce) {
    const struct {
        const char* commandLine;
        int starts;
    } cases[] = {{"-test", 1}, {"  -test  ", 1}, {"-TEST", 0}, {"-test x", 0}, {"", 0}, {"\t-test", 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("[") + c.commandLine + "]");
        int started = 0;
        HostHooks hooks;
        hooks.startTestClient = [&] { return ++started, std::optional<std::string>{}; };
        startHost(c.commandLine, hooks);
        window->Form_Activate();
        window->Form_Activate();
        EXPECT_EQ(started, c.starts);
    }
    HostHooks failing;
    failing.startTestClient = [] { return std::optional<std::string>{"No such file or directory"}; };
    startHost("-test", failing);
    window->Form_Activate();
    EXPECT_EQ(logLines().back(), "Error while processing -test command argument: No such file or directory");
}

TEST(TestClient, FoundNextToTheServerThenOnThePathAndStartedWithTheSwitch) {
    QTemporaryDir own, onPath, empty;
    // A stand-in client that records its arguments next to itself.
    auto writeClient = [](const QString& dir) {
        QFile script(QDir(dir).filePath("Tessarin"));
        script.open(QIODevice::WriteOnly);
        script.write("#!/bin/sh\necho \"$@\" > \"$(dirname \"$0\")/args.txt\"\n");
        script.close();
        return script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    };
    ASSERT_TRUE(writeClient(onPath.path()));
    const QByteArray savedPath = qgetenv("PATH");
    qputenv("PATH", empty.path().toLocal8Bit());
    EXPECT_TRUE(startTestClient(own.path()).has_value());  // nowhere: a failure with a reason
    qputenv("PATH", onPath.path().toLocal8Bit());
    EXPECT_EQ(locateClient(own.path()), QDir(onPath.path()).filePath("Tessarin"));
    ASSERT_TRUE(writeClient(own.path()));
    EXPECT_EQ(locateClient(own.path()), QDir(own.path()).filePath("Tessarin"));
    qputenv("PATH", savedPath);
    EXPECT_FALSE(startTestClient(own.path()).has_value());
    QFile args(QDir(own.path()).filePath("args.txt"));
    ASSERT_TRUE(waitFor([&] { return args.exists() && args.size() > 0; }));
    ASSERT_TRUE(args.open(QIODevice::ReadOnly));
    EXPECT_EQ(args.readAll().trimmed(), "-test");
}

}  // namespace
}  // namespace server::testing
