#include "wire/messages.h"

#include <gtest/gtest.h>

// The server's lines are checked byte for byte by the session tests.
TEST(Messages, RequestsComposeToTheExactBytes) {
    using namespace wire;
    EXPECT_EQ(
        loginRequest("TestPlayer1") + "|" + logoutRequest() + "|" + newGameRequest("test game") + "|" +
            joinGameRequest("1") + "|" + seatRequest() + "|" + startGameRequest() + "|" +
            exchangeRequest({}) + "|" + exchangeRequest({1, 3}) + "|" + betRequest("") + "|" +
            chatRequest("hi there") + "|" + exitRequest() + "|" + featuresRequest({"turn", "games"}) + "|" +
            gamesRequest(),
        "LOGIN\tTestPlayer1|LOGOUT|NEWGAME\ttest game|JOINGAME\t1|SEAT|STARTGAME|EXCHANGE|EXCHANGE\t1\t3|"
        "BET\t|CHAT\thi there|EXIT|FEATURES\tturn\tgames|GAMES");
}
