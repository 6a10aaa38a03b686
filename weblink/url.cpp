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

}  // namespace

std::string URLEncode(std::string_view text) {
    std::string out;
    out.reserve(text.size() * 3);
    for (char c : text) appendEncoded(out, static_cast<unsigned char>(c));
    return out;
}

std::string aboutLink(std::string_view title) { return std::string(kLinkBase) + URLEncode(title); }

}  // namespace weblink
