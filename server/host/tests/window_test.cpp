// The window itself: caption, list, layout, first activation, test mode, About.

#include <QAction>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTreeWidget>

#include "server/host/test_mode.h"
#include "server/host/tests/host_fixture.h"
#include "weblink/url.h"

namespace server::testing {
namespace {

using WindowTest = HostTest;

TEST_F(WindowTest, CaptionColumnsAndRows) {
    EXPECT_EQ(window->windowTitle(), "Quorvane v0.924");
    QTreeWidget* list = window->ListView1;
    EXPECT_FALSE(list->rootIsDecorated());
    ASSERT_EQ(list->columnCount(), 8);
    struct Col {
        const char* header;
        int pixels;  // twips / 15
    };
    const Col cols[] = {{"Client", 27}, {"Game", 27},    {"State", 100},    {"User", 67},
                        {"IP", 100},    {"Port", 50},    {"SockState", 20}, {"Hand", 133}};
    for (int c = 0; c < 8; ++c) {
        SCOPED_TRACE(cols[c].header);
        EXPECT_EQ(list->headerItem()->text(c), cols[c].header);
        EXPECT_EQ(list->columnWidth(c), cols[c].pixels);
    }
    ASSERT_EQ(list->topLevelItemCount(), 10);
    for (int r = 0; r < 10; ++r) EXPECT_EQ(list->topLevelItem(r)->text(0), QString::number(r + 1));
}

TEST_F(WindowTest, OpensWithTheGivenInnerSizeAndSplitsItInHalves) {
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    const QWidget* area = window->centralWidget();
    EXPECT_EQ(area->size(), QSize(552, 359));

    for (const QSize size : {QSize(700, 501), QSize(400, 300)}) {
        window->resize(size);
        QCoreApplication::processEvents();
        const int w = area->width();
        const int h = area->height();
        SCOPED_TRACE(h);
        EXPECT_EQ(window->ListView1->geometry(), QRect(0, 0, w, h / 2));
        EXPECT_EQ(window->txtLog->geometry(), QRect(0, h / 2, w, h / 2));
    }
}

TEST_F(WindowTest, MenuBarHoldsOnlyAboutWhichOpensTheProjectPage) {
    std::vector<std::string> opened;
    HostHooks hooks;
    hooks.openUrl = [&](const std::string& url) { opened.push_back(url); };
    startHost({}, hooks);
    const auto actions = window->menuBar()->actions();
    ASSERT_EQ(actions.size(), 1);
    EXPECT_EQ(actions[0]->text(), "&About");

    const auto logBefore = window->logText();
    actions[0]->trigger();
    actions[0]->trigger();
    const std::string link = std::string(weblink::kLinkBase) + "Quorvane+v0%2E924";
    EXPECT_EQ(opened, (std::vector<std::string>{link, link}));
    EXPECT_EQ(window->logText(), logBefore);
}

TEST_F(WindowTest, ListeningLineIsWrittenOnceOnFirstActivation) {
    EXPECT_TRUE(logLines().empty());
    window->show();
    const std::string line = "Quorvane listening on port " + std::to_string(port);
    ASSERT_TRUE(waitForLog(line));
    window->Form_Activate();
    QEvent activate(QEvent::WindowActivate);
    QCoreApplication::sendEvent(window.get(), &activate);
    EXPECT_EQ(logLines(), std::vector<std::string>{line});
}

TEST_F(WindowTest, ListeningOnABusyPortIsReported) {
    HostHooks hooks;
    hooks.listenAddress = QHostAddress::LocalHost;
    frmMain second(port, {}, hooks);
    EXPECT_EQ(second.listeningPort(), 0);
    ASSERT_FALSE(second.logText().empty());
    EXPECT_NE(second.logText().find("Winsock1_Error: index=0 err="), std::string::npos);
    second.Form_Activate();
    EXPECT_EQ(second.logText().find("listening"), std::string::npos);
}

TEST(TestModeTest, OnlyTheExactSwitchSelectsTestMode) {
    struct Row {
        const char* commandLine;
        bool test;
    };
    const Row rows[] = {{"-test", true},   {"  -test  ", true},  {" -test", true},
                        {"-TEST", false},  {"-test x", false},   {"", false},
                        {"-test2", false}, {"\t-test", false},   {"- test", false}};
    for (const auto& r : rows) {
        SCOPED_TRACE(std::string("[") + r.commandLine + "]");
        EXPECT_EQ(isTestCommandLine(r.commandLine), r.test);
    }
}

TEST_F(WindowTest, TestSwitchStartsTheClientOnceAtFirstActivation) {
    for (const char* commandLine : {" -test ", "-TEST", "-test now"}) {
        SCOPED_TRACE(commandLine);
        int started = 0;
        HostHooks hooks;
        hooks.startTestClient = [&] {
            ++started;
            return std::optional<std::string>{};
        };
        startHost(commandLine, hooks);
        window->Form_Activate();
        window->Form_Activate();
        EXPECT_EQ(started, std::string(commandLine) == " -test " ? 1 : 0);
    }
}

TEST_F(WindowTest, FailureToStartTheClientIsLogged) {
    HostHooks hooks;
    hooks.startTestClient = [] { return std::optional<std::string>{"No such file or directory"}; };
    startHost("-test", hooks);
    window->Form_Activate();
    EXPECT_EQ(logLines().back(), "Error while processing -test command argument: No such file or directory");
}

// A stand-in client that records its arguments next to itself.
bool writeRecorder(const QString& dir) {
    QFile script(QDir(dir).filePath("Tessarin"));
    if (!script.open(QIODevice::WriteOnly)) return false;
    script.write("#!/bin/sh\necho \"$@\" > \"$(dirname \"$0\")/args.txt\"\n");
    script.close();
    return script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

class PathGuard {
public:
    explicit PathGuard(const QByteArray& path) : saved_(qgetenv("PATH")) { qputenv("PATH", path); }
    ~PathGuard() { qputenv("PATH", saved_); }

private:
    QByteArray saved_;
};

TEST(TestClientTest, ClientNextToTheServerIsStartedWithTheSwitch) {
    QTemporaryDir own;
    ASSERT_TRUE(own.isValid());
    ASSERT_TRUE(writeRecorder(own.path()));
    const auto failure = startTestClient(own.path());
    EXPECT_FALSE(failure.has_value()) << *failure;
    QFile args(QDir(own.path()).filePath("args.txt"));
    ASSERT_TRUE(waitFor([&] { return args.exists() && args.size() > 0; }));
    ASSERT_TRUE(args.open(QIODevice::ReadOnly));
    EXPECT_EQ(args.readAll().trimmed(), "-test");
}

TEST(TestClientTest, ClientIsLookedForNextToTheServerThenOnThePath) {
    QTemporaryDir own, onPath, nowhere;
    ASSERT_TRUE(own.isValid() && onPath.isValid() && nowhere.isValid());
    ASSERT_TRUE(writeRecorder(onPath.path()));
    PathGuard path(onPath.path().toLocal8Bit());

    EXPECT_EQ(locateClient(own.path()), QDir(onPath.path()).filePath("Tessarin"));
    ASSERT_TRUE(writeRecorder(own.path()));
    EXPECT_EQ(locateClient(own.path()), QDir(own.path()).filePath("Tessarin"));
}

TEST(TestClientTest, MissingClientIsAFailureWithAReason) {
    QTemporaryDir own, emptyPath;
    ASSERT_TRUE(own.isValid() && emptyPath.isValid());
    PathGuard path(emptyPath.path().toLocal8Bit());
    const auto failure = startTestClient(own.path());
    ASSERT_TRUE(failure.has_value());
    EXPECT_FALSE(failure->empty());
}

}  // namespace
}  // namespace server::testing
