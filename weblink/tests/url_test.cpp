#include "weblink/url.h"

#include <gtest/gtest.h>

TEST(URLEncode, KeepsLettersDigitsUnderscoreAndEscapesTheRest) {
    EXPECT_EQ(weblink::URLEncode("AZaz09_\t-~%\xE9\xFF"), "AZaz09_%09%2D%7E%25%E9%FF");
    EXPECT_EQ(weblink::aboutLink("Tessarin v0.924"), std::string(weblink::kLinkBase) + "Tessarin+v0%2E924");
}
