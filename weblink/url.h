#pragma once
// The About link: the project's page with the URL-encoded program title.

#include <string>
#include <string_view>

namespace weblink {

// The host is the project's; the path and the query key are fixed.
inline constexpr std::string_view kLinkBase = "http://quorvane.example/poker/?ref=";

// Letters, digits and the underscore stay, a blank becomes "+", every other
// byte becomes "%" and two upper-case hex digits. Input is Latin-1 bytes.
std::string URLEncode(std::string_view text);

// The link the About command opens for a program title.
std::string aboutLink(std::string_view title);

}  // namespace weblink
