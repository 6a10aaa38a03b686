#include "wire/framing.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using wire::Fields;
using wire::kMaxPendingBytes;

// Appends the chunks one after the other; after each, notes "!" if the
// buffer has overflowed, then takes every complete line. A chunk "<drop>"
// drops the partial line instead.
std::string feed(const std::vector<std::string>& chunks) {
    wire::LineBuffer buffer;
    std::string seen;
    Fields fields;
    for (const auto& chunk : chunks) {
        if (chunk == "<drop>") buffer.dropPartial();
        if (chunk != "<drop>") buffer.append(chunk);
        seen += buffer.overflowed() ? "!" : "";
        while (buffer.ReadCmd(fields)) {
            for (const auto& f : fields) seen += (f.size() > 20 ? std::to_string(f.size()) : f) + ",";
            seen += "|";
        }
    }
    return seen;
}

TEST(Framing, SplitsFieldsAtEveryTabKeepingEmptyOnes) {
    const struct {
        std::string line;
        Fields expected;
    } cases[] = {{"", {}},
                 {"EXCHANGE\t", {"EXCHANGE", ""}},
                 {" login \t Ann B ", {"LOGIN", " Ann B "}},
                 {"CHAT\ta\\tb\\n\\r\\|", {"CHAT", "a\\tb\\n\\r\\|"}},
                 {"\tx\t\t", {"", "x", "", ""}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(wire::splitLine(c.line), c.expected);
    }
}

TEST(Framing, OnlyCrLfEndsALineWhereverTheChunksAreCut) {
    const std::string stream = "LOGIN\tann\r\nA\nB\rC\n\r\n\r\nSEAT\r\n";
    const std::string lines = "LOGIN,ann,|A\nB\rC\n,||SEAT,|";
    for (std::size_t cut = 0; cut <= stream.size(); ++cut)
        EXPECT_EQ(feed({stream.substr(0, cut), stream.substr(cut)}), lines) << cut;
    std::vector<std::string> bytes;
    for (char c : stream) bytes.emplace_back(1, c);
    EXPECT_EQ(feed(bytes), lines);
}

// The partial line after the last complete one may reach kMaxPendingBytes.
TEST(Framing, BufferBound) {
    const std::string full(kMaxPendingBytes, 'x');
    std::string many, manyLines;
    while (many.size() <= 2 * kMaxPendingBytes) many += "BET\t0\r\n", manyLines += "BET,0,|";
    const struct {
        std::vector<std::string> chunks;
        std::string seen;
    } rows[] = {{{"CHAT\tok\r\n" + full + "y", "<drop>", "SEAT\r\n"}, "!CHAT,ok,|SEAT,|"},
                {{full + "\r", "\n"}, "!65536,|"},  // a CR ending an overflowing chunk, its LF in the next
                {{"SEAT\r", "\nB" + full.substr(1), "x", "<drop>"}, "SEAT,|!"},
                {{many}, manyLines}};
    for (const auto& r : rows) EXPECT_EQ(feed(r.chunks), r.seen);
}

// A buffer compacted while a complete line is still unread keeps it, and
// so does dropping the partial line.
TEST(Framing, UnreadLinesSurviveCompactionAndDrop) {
    wire::LineBuffer buffer;
    Fields fields;
    buffer.append("LOGIN\tann\r\nSEAT\r\nCH");
    ASSERT_TRUE(buffer.ReadCmd(fields));
    buffer.append("AT");
    buffer.dropPartial();
    ASSERT_TRUE(buffer.ReadCmd(fields));
    EXPECT_EQ(fields, Fields{"SEAT"});
    EXPECT_FALSE(buffer.ReadCmd(fields));
    EXPECT_TRUE(buffer.empty());
}

}  // namespace
