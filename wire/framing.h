#pragma once
// Cutting a received byte stream into lines and fields.
// Text is Latin-1: one byte is one character, so std::string carries it unchanged.

#include <cassert>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace wire {

using Fields = std::vector<std::string>;

inline constexpr std::string_view kLineEnd = "\r\n";
inline constexpr char kFieldSeparator = '\t';

// A partial line longer than this is never legitimate in this protocol; the
// owner decides what to do (the server closes, the client drops the line).
inline constexpr std::size_t kMaxPendingBytes = 64 * 1024;

// Splits one line (without its CR LF) at every TAB; empty fields are kept.
// Field 0 is trimmed of spaces and upper-cased; the others stay verbatim.
// An empty line yields no fields at all.
Fields splitLine(std::string_view line);

// The receive buffer of one connection. Its indexes into data_:
//
//   0 ........ start_ ........ scan_ ........ data_.size()
//   | consumed | no CR LF starts | not searched |
//              | in here         | yet          |
//
//   start_  the first unread byte; the consumed prefix is compacted away
//           only once it is at least half of data_.
//   scan_   where the search for the next CR LF resumes (a CR just before
//           the end may still meet the next chunk's LF).
//   tail_   just after the last CR LF appended (<= start_ when the unread
//           text holds none); what follows max(start_, tail_) is the partial
//           line that overflowed() measures.
//
// Invariant, asserted at every entry: start_ <= scan_ <= data_.size() and
// tail_ <= data_.size().
class LineBuffer {
public:
    // Appends a received chunk.
    void append(std::string_view chunk);

    // Takes the first complete line out of the buffer into `fields`.
    // Returns false, touching nothing, when no CR LF is buffered. An empty
    // line returns true with `fields` empty: callers skip it.
    bool ReadCmd(Fields& fields);

    // True when the text after the last complete line has grown past
    // kMaxPendingBytes. Check it after taking every complete line.
    bool overflowed() const;

    // Forgets the incomplete tail (the client's answer to an overflow).
    void dropPartial();

    void clear();
    bool empty() const { return size() == 0; }
    std::size_t size() const {
        assert(indexesInOrder());
        return data_.size() - start_;
    }
    std::string_view text() const {
        assert(indexesInOrder());
        return std::string_view(data_).substr(start_);
    }

private:
    bool indexesInOrder() const { return start_ <= scan_ && scan_ <= data_.size() && tail_ <= data_.size(); }

    std::string data_;
    std::size_t start_ = 0;
    std::size_t scan_ = 0;
    std::size_t tail_ = 0;
};

// The one rule for number fields: blanks around are ignored, an optional
// sign, decimal digits, and the value must fit a 32-bit signed integer.
// Anything else is not a number.
std::optional<std::int32_t> parseNumber(std::string_view field);

}  // namespace wire
