#include "wire/framing.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using wire::Fields;
using wire::LineBuffer;

// Feeds `chunks` one after the other, taking every complete line after each.
std::vector<Fields> feed(const std::vector<std::string>& chunks) {
    LineBuffer buffer;
    std::vector<Fields> lines;
    Fields fields;
    for (const auto& chunk : chunks) {
        buffer.append(chunk);
        while (buffer.ReadCmd(fields)) lines.push_back(fields);
    }
    return lines;
}

TEST(Framing, SplitsFieldsAtEveryTabKeepingEmptyOnes) {
    struct Case {
        std::string line;
        Fields expected;
    };
    const std::vector<Case> cases = {
        {"STARTGAME", {"STARTGAME"}},
        {"EXCHANGE\t", {"EXCHANGE", ""}},
        {"EXCHANGE\t\t3", {"EXCHANGE", "", "3"}},
        {" login \t Ann B ", {"LOGIN", " Ann B "}},
        {"  chat\thello", {"CHAT", "hello"}},
        {"CHAT\ta\\tb\\n\\r\\|", {"CHAT", "a\\tb\\n\\r\\|"}},
        {"CHAT\tone\ntwo\rthree", {"CHAT", "one\ntwo\rthree"}},
        {"\tx", {"", "x"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(wire::splitLine(c.line), c.expected);
    }
    EXPECT_TRUE(wire::splitLine("").empty());
}

TEST(Framing, OnlyCrLfEndsALine) {
    EXPECT_TRUE(feed({"SEAT\n", "\rSEAT\r", "X\n"}).empty());
    const auto lines = feed({"A\nB\rC\n\r\n"});
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], Fields{"A\nB\rC\n"});
}

TEST(Framing, LineCutAtEveryByteGivesTheSameLines) {
    const std::string stream = "LOGIN\tann\r\nCHAT\ta\tb\r\n\r\nSEAT\r\n";
    const auto whole = feed({stream});
    ASSERT_EQ(whole.size(), 4u);
    EXPECT_EQ(whole[0], (Fields{"LOGIN", "ann"}));
    EXPECT_TRUE(whole[2].empty());  // the empty line is reported, with no fields
    EXPECT_EQ(whole[3], Fields{"SEAT"});
    for (std::size_t cut = 0; cut <= stream.size(); ++cut) {
        SCOPED_TRACE(cut);
        EXPECT_EQ(feed({stream.substr(0, cut), stream.substr(cut)}), whole);
    }
    std::vector<std::string> bytes;
    for (char c : stream) bytes.emplace_back(1, c);
    EXPECT_EQ(feed(bytes), whole);
}

TEST(Framing, CrEndingOneChunkAndLfStartingTheNextEndTheLine) {
    LineBuffer buffer;
    Fields fields;
    buffer.append("LOGIN\tann\r\nSEAT\r");
    ASSERT_TRUE(buffer.ReadCmd(fields));
    EXPECT_EQ(fields, (Fields{"LOGIN", "ann"}));
    EXPECT_FALSE(buffer.ReadCmd(fields));
    EXPECT_EQ(fields, (Fields{"LOGIN", "ann"}));  // untouched on false
    EXPECT_EQ(buffer.text(), "SEAT\r");
    buffer.append("\n");
    ASSERT_TRUE(buffer.ReadCmd(fields));
    EXPECT_EQ(fields, Fields{"SEAT"});
    EXPECT_TRUE(buffer.empty());
}

TEST(Framing, TwoLinesInOneWriteArriveSeparately) {
    const auto lines = feed({"SEAT_ANTE\t5\r\nSEAT_NAME\tann\r\n"});
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0][0], "SEAT_ANTE");
    EXPECT_EQ(lines[1], (Fields{"SEAT_NAME", "ann"}));
}

TEST(Framing, BufferBoundIsReportedAndPartialLineCanBeDropped) {
    LineBuffer buffer;
    Fields fields;
    buffer.append("CHAT\tok\r\n");
    buffer.append(std::string(wire::kMaxPendingBytes, 'x'));
    EXPECT_FALSE(buffer.overflowed());  // exactly at the bound is still fine
    buffer.append("y");
    EXPECT_TRUE(buffer.overflowed());
    ASSERT_TRUE(buffer.ReadCmd(fields));  // complete lines before the tail still come out
    EXPECT_EQ(fields, (Fields{"CHAT", "ok"}));
    EXPECT_TRUE(buffer.overflowed());
    buffer.dropPartial();
    EXPECT_TRUE(buffer.empty());
    EXPECT_FALSE(buffer.overflowed());
    buffer.append("SEAT\r\n");
    ASSERT_TRUE(buffer.ReadCmd(fields));
    EXPECT_EQ(fields, Fields{"SEAT"});

    // A line trickling in byte by byte overflows exactly past the bound.
    buffer.clear();
    buffer.append("SEAT\r");
    buffer.append("\nB");
    for (std::size_t i = 1; i < wire::kMaxPendingBytes; ++i) buffer.append("x");
    EXPECT_FALSE(buffer.overflowed());
    buffer.append("x");
    EXPECT_TRUE(buffer.overflowed());
    buffer.dropPartial();
    ASSERT_TRUE(buffer.ReadCmd(fields));
    EXPECT_EQ(fields, Fields{"SEAT"});
    EXPECT_TRUE(buffer.empty());

    // A big chunk of many short lines is not an overflow.
    std::string many;
    while (many.size() <= 2 * wire::kMaxPendingBytes) many += "BET\t0\r\n";
    buffer.append(many);
    EXPECT_FALSE(buffer.overflowed());
}

TEST(Framing, DropPartialKeepsCompleteLines) {
    LineBuffer buffer;
    Fields fields;
    buffer.append("SEAT\r\nhalf a li");
    buffer.dropPartial();
    ASSERT_TRUE(buffer.ReadCmd(fields));
    EXPECT_EQ(fields, Fields{"SEAT"});
    EXPECT_TRUE(buffer.empty());
}

TEST(Framing, Latin1BytesPassUnchanged) {
    std::string text;
    for (int c = 128; c < 256; ++c) text += static_cast<char>(c);
    const auto lines = feed({"CHAT\t" + text + "\r\n"});
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0][1], text);
}

TEST(NumberFields, OneRuleForEveryNumber) {
    struct Case {
        std::string text;
        std::optional<std::int32_t> expected;
    };
    const std::vector<Case> cases = {
        {"0", 0},
        {"42", 42},
        {"-1", -1},
        {"+7", 7},
        {" 12 ", 12},
        {"\t3", 3},
        {"007", 7},
        {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {"2147483648", std::nullopt},
        {"-2147483649", std::nullopt},
        {"99999999999999999999", std::nullopt},
        {"", std::nullopt},
        {"   ", std::nullopt},
        {"-", std::nullopt},
        {"+-1", std::nullopt},
        {"--1", std::nullopt},
        {"1.5", std::nullopt},
        {"1,000", std::nullopt},
        {"abc", std::nullopt},
        {"12abc", std::nullopt},
        {"0x10", std::nullopt},
        {"1 2", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("'" + c.text + "'");
        EXPECT_EQ(wire::parseNumber(c.text), c.expected);
    }
}

}  // namespace
