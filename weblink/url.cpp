#include "weblink/url.h"

namespace weblink {

namespace {

void appendEncoded(std::string& out, unsigned char c) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_') {
        out += static_cast<char>(c);
    } else if (c == ' ') {
        out += '+';
    } else {
        out += '%';
        out += kHex[c >> 4];
        out += kHex[c & 0x0F];
    }
}

void appendUtf8(std::string& bytes, char32_t cp) {
    if (cp < 0x800) {
        bytes += static_cast<char>(0xC0 | (cp >> 6));
    } else if (cp < 0x10000) {
        bytes += static_cast<char>(0xE0 | (cp >> 12));
        bytes += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    } else {
        bytes += static_cast<char>(0xF0 | ((cp >> 18) & 0x07));
        bytes += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        bytes += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    }
    bytes += static_cast<char>(0x80 | (cp & 0x3F));
}

}  // namespace

std::string URLEncode(std::string_view text) {
    std::string out;
    out.reserve(text.size() * 3);
    for (char c : text) appendEncoded(out, static_cast<unsigned char>(c));
    return out;
}

std::string URLEncode(std::u32string_view text) {
    std::string bytes;
    for (char32_t cp : text) {
        if (cp < 0x100)
            bytes += static_cast<char>(cp);
        else
            appendUtf8(bytes, cp);
    }
    return URLEncode(std::string_view(bytes));
}

std::string aboutLink(std::string_view title) { return std::string(kLinkBase) + URLEncode(title); }

}  // namespace weblink
