#include "wire/framing.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using wire::Fields;
using wire::kMaxPendingBytes;

// Appends the chunks one by one; after each, notes "!" if the buffer has overflowed, then takes every
// complete line. A chunk "<drop>" drops the partial line instead.
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

// Only CR LF ends a line; TAB splits it into fields, empty ones kept, the word trimmed and upper-cased.
TEST(Framing, SplitsLinesAndFieldsWhereverTheChunksAreCut) {
    const std::string stream = " login \t Ann B \r\nA\nB\rC\n\r\n\r\n\tx\\t\t\r\nSEAT\r\n";
    const std::string lines = "LOGIN, Ann B ,|A\nB\rC\n,||,x\\t,,|SEAT,|";
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
    const std::pair<std::vector<std::string>, std::string> rows[] = {
        {{"CHAT\tok\r\n" + full + "y", "<drop>", "SEAT\r\n"}, "!CHAT,ok,|SEAT,|"},
        {{full + "\r", "\n"}, "!65536,|"},  // a CR ending an overflowing chunk, its LF in the next
        {{"SEAT\r", "\nB" + full.substr(1), "x", "<drop>"}, "SEAT,|!"},
        {{many}, manyLines}};
    for (const auto& [chunks, seen] : rows) EXPECT_EQ(feed(chunks), seen);
}

// A buffer compacted while a complete line is still unread keeps it, and so does dropping the partial line.
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
