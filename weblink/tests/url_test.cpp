#include "weblink/url.h"

#include <gtest/gtest.h>

namespace {

TEST(URLEncode, KeepsLettersDigitsUnderscoreAndEscapesTheRest) {
    const std::pair<std::string, std::string> rows[] = {
        {"Tessarin v0.924", "Tessarin+v0%2E924"},
        {"AZaz09_\t-~", "AZaz09_%09%2D%7E"},
        {"50% off/now?", "50%25+off%2Fnow%3F"},
        {"\xE9\xFF", "%E9%FF"},
        {"", ""},
    };
    for (const auto& [text, expected] : rows) {
        SCOPED_TRACE(text);
        EXPECT_EQ(weblink::URLEncode(text), expected);
    }
    EXPECT_EQ(weblink::aboutLink("Tessarin v0.924"), std::string(weblink::kLinkBase) + "Tessarin+v0%2E924");
}

}  // namespace
