#include "wire/messages.h"

#include <gtest/gtest.h>

namespace {

// The server's lines are checked byte for byte by the session tests.
TEST(Messages, RequestsComposeToTheExactBytes) {
    const struct {
        std::string composed, expected;
    } cases[] = {{wire::loginRequest("TestPlayer1"), "LOGIN\tTestPlayer1"},
                 {wire::logoutRequest(), "LOGOUT"},
                 {wire::newGameRequest("test game"), "NEWGAME\ttest game"},
                 {wire::joinGameRequest("1"), "JOINGAME\t1"},
                 {wire::seatRequest(), "SEAT"},
                 {wire::startGameRequest(), "STARTGAME"},
                 {wire::exchangeRequest({}), "EXCHANGE"},
                 {wire::exchangeRequest({1, 3}), "EXCHANGE\t1\t3"},
                 {wire::betRequest(""), "BET\t"},
                 {wire::chatRequest("hi there"), "CHAT\thi there"},
                 {wire::exitRequest(), "EXIT"}};
    for (const auto& c : cases) EXPECT_EQ(c.composed, c.expected);
}

}  // namespace
