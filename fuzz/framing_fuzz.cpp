// Arbitrary bytes cut into arbitrary chunks must give the same lines as the
// whole stream, and the buffer must stay within its bound when the owner
// drops an overflowing partial line.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "wire/framing.h"

namespace {

std::vector<wire::Fields> readAll(const std::vector<std::string_view>& chunks, std::size_t* maxSize) {
    wire::LineBuffer buffer;
    std::vector<wire::Fields> lines;
    wire::Fields fields;
    for (auto chunk : chunks) {
        buffer.append(chunk);
        while (buffer.ReadCmd(fields)) lines.push_back(fields);
        if (buffer.overflowed()) std::abort();  // the whole stream never exceeds the bound here
        if (maxSize && buffer.size() > *maxSize) *maxSize = buffer.size();
    }
    return lines;
}

void checkFields(const wire::Fields& f) {
    if (f.empty()) return;
    for (char c : f[0])
        if (c == '\t' || (c >= 'a' && c <= 'z')) std::abort();
    if (!f[0].empty() && (f[0].front() == ' ' || f[0].back() == ' ')) std::abort();
    for (const auto& field : f)
        if (field.find('\t') != std::string::npos || field.find("\r\n") != std::string::npos) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    // The first byte picks how the stream is cut; the rest is the stream.
    const unsigned step = data[0] % 17 + 1;
    const std::string_view stream(reinterpret_cast<const char*>(data + 1), size - 1);
    if (stream.size() > wire::kMaxPendingBytes) return 0;

    const auto whole = readAll({stream}, nullptr);
    std::vector<std::string_view> chunks;
    for (std::size_t at = 0, n = 0; at < stream.size(); at += n) {
        n = std::min<std::size_t>(stream.size() - at, (at * 31 + step) % (step * 3) + 1);
        chunks.push_back(stream.substr(at, n));
    }
    std::size_t maxSize = 0;
    const auto pieces = readAll(chunks, &maxSize);
    if (pieces != whole) std::abort();
    for (const auto& f : whole) checkFields(f);

    // Overflow: an endless line is reported, and dropping it bounds memory.
    wire::LineBuffer buffer;
    wire::Fields fields;
    for (int round = 0; round < 3; ++round) {
        buffer.append(stream);
        buffer.append(std::string(wire::kMaxPendingBytes / 4, 'x'));
        while (buffer.ReadCmd(fields)) checkFields(fields);
        if (buffer.overflowed()) buffer.dropPartial();
        if (buffer.size() > wire::kMaxPendingBytes) std::abort();
    }
    return 0;
}
