#include "framing.h"

#include <algorithm>
#include <charconv>

namespace wire {

namespace {

std::string_view trim(std::string_view s, std::string_view blanks) {
    const auto first = s.find_first_not_of(blanks);
    if (first == std::string_view::npos) return {};
    const auto last = s.find_last_not_of(blanks);
    return s.substr(first, last - first + 1);
}

char upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

Fields splitLine(std::string_view line) {
    Fields fields;
    if (line.empty()) return fields;
    std::size_t from = 0;
    for (;;) {
        const auto tab = line.find(kFieldSeparator, from);
        fields.emplace_back(line.substr(from, tab == std::string_view::npos ? tab : tab - from));
        if (tab == std::string_view::npos) break;
        from = tab + 1;
    }
    std::string command(trim(fields[0], " "));
    for (char& c : command) c = upper(c);
    fields[0] = std::move(command);
    return fields;
}

void LineBuffer::append(std::string_view chunk) {
    assert(indexesInOrder());
    // Compact only when the consumed prefix dominates, so taking many lines
    // out of one big chunk never moves the whole buffer per line.
    if (start_ > 0 && start_ >= data_.size() / 2) {
        data_.erase(0, start_);
        scan_ -= start_;
        tail_ = tail_ > start_ ? tail_ - start_ : 0;
        start_ = 0;
    }
    const std::size_t oldSize = data_.size();
    data_.append(chunk);
    // Look for the last line end in the new bytes only (one byte back for a
    // CR that ended the previous chunk), so a line trickling in byte by byte
    // costs no rescan of what is already buffered.
    const std::size_t from = oldSize > 0 ? oldSize - 1 : 0;
    for (std::size_t i = data_.size(); i >= from + 2; --i) {
        if (data_[i - 2] == '\r' && data_[i - 1] == '\n') {
            tail_ = i;
            break;
        }
    }
}

bool LineBuffer::ReadCmd(Fields& fields) {
    assert(indexesInOrder());
    // A CR at the very end may still be completed by the next chunk's LF.
    const auto pos = data_.find(kLineEnd, scan_);
    if (pos == std::string::npos) {
        scan_ = data_.empty() ? start_ : std::max(start_, data_.size() - 1);
        return false;
    }
    fields = splitLine(std::string_view(data_).substr(start_, pos - start_));
    start_ = pos + kLineEnd.size();
    scan_ = start_;
    if (start_ == data_.size()) clear();
    return true;
}

bool LineBuffer::overflowed() const {
    assert(indexesInOrder());
    return data_.size() - std::max(tail_, start_) > kMaxPendingBytes;
}

void LineBuffer::dropPartial() {
    assert(indexesInOrder());
    if (tail_ <= start_) {
        clear();
    } else {
        data_.resize(tail_);
        scan_ = std::min(scan_, data_.size());
    }
}

void LineBuffer::clear() {
    assert(indexesInOrder());
    data_.clear();
    start_ = scan_ = tail_ = 0;
}

std::optional<std::int32_t> parseNumber(std::string_view field) {
    std::string_view s = trim(field, " \t");
    if (!s.empty() && s.front() == '+') {
        s.remove_prefix(1);
        if (!s.empty() && (s.front() == '-' || s.front() == '+')) return std::nullopt;
    }
    if (s.empty()) return std::nullopt;
    std::int32_t value = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value, 10);
    if (ec != std::errc() || end != s.data() + s.size()) return std::nullopt;
    return value;
}

}  // namespace wire
