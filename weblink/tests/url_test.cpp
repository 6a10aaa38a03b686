#include "weblink/url.h"

#include <gtest/gtest.h>

namespace {

TEST(URLEncode, KeepsLettersDigitsUnderscoreAndEscapesTheRest) {
    struct Case {
        std::string text, expected;
    };
    const std::vector<Case> cases = {
        {"Tessarin v0.924", "Tessarin+v0%2E924"},
        {"Quorvane v0.924", "Quorvane+v0%2E924"},
        {"\t", "%09"},
        {"a-b~c", "a%2Db%7Ec"},
        {"AZaz09_", "AZaz09_"},
        {"", ""},
        {"50% off/now?", "50%25+off%2Fnow%3F"},
        {std::string("\xE9\xFF", 2), "%E9%FF"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(weblink::URLEncode(c.text), c.expected);
    }
}

TEST(URLEncode, AboutLinkIsTheBaseWithTheEncodedTitle) {
    const std::string link = weblink::aboutLink("Tessarin v0.924");
    EXPECT_EQ(link.rfind("http://", 0), 0u);
    EXPECT_NE(link.find("/poker/?ref=Tessarin+v0%2E924"), std::string::npos);
    EXPECT_EQ(link, std::string(weblink::kLinkBase) + "Tessarin+v0%2E924");
}

}  // namespace
