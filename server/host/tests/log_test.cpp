// The operator's log: time stamp, line breaks, the 2048-character window.

#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QScrollBar>

#include "server/host/log_text.h"
#include "server/host/tests/host_fixture.h"

namespace server::testing {
namespace {

TEST(LogTextTest, TimeStampHasTwoDigitsEachAndATrailingBlank) {
    struct Row {
        int h, m, s;
        const char* want;
    };
    const Row rows[] = {
        {9, 5, 7, "09:05:07 "}, {0, 0, 0, "00:00:00 "}, {23, 59, 59, "23:59:59 "}, {12, 30, 0, "12:30:00 "}};
    for (const auto& r : rows) {
        SCOPED_TRACE(r.want);
        EXPECT_EQ(logTimeStamp(r.h, r.m, r.s), r.want);
    }
}

TEST(LogTextTest, LinesAreJoinedByCarriageReturnLineFeed) {
    std::string log = appendLogLine("", 9, 5, 7, "first");
    EXPECT_EQ(log, "09:05:07 first");
    log = appendLogLine(log, 9, 5, 8, "second");
    EXPECT_EQ(log, "09:05:07 first\r\n09:05:08 second");
}

TEST(LogTextTest, KeepsOnlyTheLast2048CharactersCuttingInsideALine) {
    std::string log;
    std::string uncut;
    for (int i = 0; i < 100; ++i) {
        const std::string msg = "connection event number " + std::to_string(i);
        log = appendLogLine(log, 10, 0, i % 60, msg);
        if (!uncut.empty()) uncut += "\r\n";
        uncut += logTimeStamp(10, 0, i % 60) + msg;
        ASSERT_LE(log.size(), kLogCapacity);
    }
    ASSERT_GT(uncut.size(), kLogCapacity);
    EXPECT_EQ(log, uncut.substr(uncut.size() - kLogCapacity));
    // The box starts somewhere in the middle of an old line.
    EXPECT_NE(log.substr(0, 2), "10");
}

TEST(LogTextTest, ALineLongerThanTheWindowKeepsItsTail) {
    const std::string msg(3000, 'z');
    const std::string log = appendLogLine("09:00:00 old", 9, 0, 1, msg + "END");
    EXPECT_EQ(log.size(), kLogCapacity);
    EXPECT_EQ(log.substr(log.size() - 4), "zEND");
}

using WriteLogTest = HostTest;

TEST_F(WriteLogTest, WritesTimeStampedLinesIntoTheBoxWithTheCaretAtTheEnd) {
    window->WriteLog("one");
    window->WriteLog("two");
    const QString text = QString::fromLatin1(window->logText().c_str());
    const QRegularExpression shape(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d one\r\n\\d\\d:\\d\\d:\\d\\d two$"));
    EXPECT_TRUE(shape.match(text).hasMatch()) << window->logText();

    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    EXPECT_EQ(window->txtLog->toPlainText(), shown);
    EXPECT_TRUE(window->txtLog->textCursor().atEnd());
}

TEST_F(WriteLogTest, TheBoxHoldsAtMost2048CharactersOfTheNewestLog) {
    for (int i = 0; i < 200; ++i) window->WriteLog("line " + std::to_string(i));
    EXPECT_EQ(window->logText().size(), kLogCapacity);
    EXPECT_EQ(window->logText().substr(window->logText().size() - 8), "line 199");
    const QString shown = window->txtLog->toPlainText();
    EXPECT_TRUE(shown.endsWith(QStringLiteral("line 199")));
    EXPECT_LE(shown.size(), static_cast<qsizetype>(kLogCapacity));
    EXPECT_TRUE(window->txtLog->textCursor().atEnd());
}

TEST_F(WriteLogTest, TheBoxIsReadOnlyWithBothScrollBars) {
    EXPECT_TRUE(window->txtLog->isReadOnly());
    EXPECT_EQ(window->txtLog->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(window->txtLog->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
}

}  // namespace
}  // namespace server::testing
