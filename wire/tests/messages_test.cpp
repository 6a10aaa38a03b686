#include "wire/messages.h"

#include <gtest/gtest.h>

#include "wire/framing.h"

namespace {

TEST(Messages, ServerLinesComposeToTheExactBytes) {
    const wire::Hand hand{8, 9, 10, 11, 12};
    struct Case {
        std::string composed;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {wire::hello(), "HELLO\tQuorvane v0.924"},
        {wire::loginPrompt(), "LOGIN"},
        {wire::ok("LOGIN"), "OK\tLOGIN"},
        {wire::ok("JOINGAME"), "OK\tJOINGAME"},
        {wire::okNewGame(10), "OK\tNEWGAME 10"},
        {wire::error("NEWGAME"), "ERROR\tNEWGAME"},
        {wire::seat(-1), "SEAT\t-1"},
        {wire::seat(0), "SEAT\t0"},
        {wire::winner(3), "WINNER\t3"},
        {wire::dealtHand(hand), "STARTGAME\t8\t9\t10\t11\t12"},
        {wire::exchangedHand(hand), "EXCHANGE\t8\t9\t10\t11\t12"},
        {wire::betPrompt(), "BET"},
        {wire::chatLine("ann", "hello"), "CHAT\tann> hello"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        EXPECT_EQ(c.composed, c.expected);
    }
    EXPECT_EQ(wire::frame(wire::loginPrompt()), "LOGIN\r\n");
}

TEST(Messages, RequestsComposeToTheExactBytes) {
    struct Case {
        std::string composed;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {wire::loginRequest("TestPlayer1"), "LOGIN\tTestPlayer1"},
        {wire::logoutRequest(), "LOGOUT"},
        {wire::newGameRequest("test game"), "NEWGAME\ttest game"},
        {wire::joinGameRequest("1"), "JOINGAME\t1"},
        {wire::seatRequest(), "SEAT"},
        {wire::startGameRequest(), "STARTGAME"},
        {wire::exchangeRequest({}), "EXCHANGE"},
        {wire::exchangeRequest({1, 3}), "EXCHANGE\t1\t3"},
        {wire::betRequest("-1"), "BET\t-1"},
        {wire::betRequest(""), "BET\t"},
        {wire::chatRequest("hi there"), "CHAT\thi there"},
        {wire::exitRequest(), "EXIT"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        EXPECT_EQ(c.composed, c.expected);
    }
}

TEST(Messages, TableReportIsFiveLinesOfSevenFields) {
    wire::TableValues seats;  // every seat shows the empty-seat values
    seats[0] = {5, "ann", 4, -1, 995};
    const std::string report = wire::tableReport(seats);
    EXPECT_EQ(report,
              "SEAT_ANTE\t5\t0\t0\t0\t0\t0\r\n"
              "SEAT_NAME\tann\t\t\t\t\t\r\n"
              "SEAT_STATE\t4\t0\t0\t0\t0\t0\r\n"
              "SEAT_EXCHANGE\t-1\t-1\t-1\t-1\t-1\t-1\r\n"
              "SEAT_BANK\t995\t1000\t1000\t1000\t1000\t1000");

    wire::LineBuffer buffer;
    buffer.append(wire::frame(report));
    wire::Fields fields;
    int lines = 0;
    while (buffer.ReadCmd(fields)) {
        ++lines;
        EXPECT_EQ(fields.size(), 7u) << fields[0];
    }
    EXPECT_EQ(lines, 5);
    EXPECT_EQ(wire::seatAnteLine(seats), "SEAT_ANTE\t5\t0\t0\t0\t0\t0");
}

}  // namespace
