// Random lines, valid and not, from ten sessions that come and go, with the
// server's invariants checked after every step. QUORVANE_SEED=<n> replays a run.

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>

#include "server/engine/shuffle.h"
#include "server/session/tests/harness.h"

namespace server::testing {
namespace {

// Mostly hand commands with numbers around every edge, now and then FEATURES.
std::string randomLine(std::mt19937& rng) {
    static const char* words[] = {"LOGIN\t",  "NEWGAME\t", "JOINGAME\t", "JOINGAME\t", "STARTGAME",
                                  "EXCHANGE", "EXCHANGE",  "EXCHANGE",   "BET\t",      "BET\t",
                                  "BET\t",    "BET\t",     "LOGIN\t",    "LOGOUT",     "CHAT\t",
                                  "SEAT",     "FEATURES",  "GAMES"};
    static const char* features[] = {"turn", "showdown", "games", "reasons", "x"};
    static const char* args[] = {"0",        "0",          "1",          "2",          "3", "4",
                                 "5",        "-1",         "10",         "11",         "",  "x y",
                                 "\xC4pfel", "2147483647", "1500000000", "99999999999"};
    auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
    std::string line = words[pick(18)];
    for (int n = line == "FEATURES" ? pick(4) : 0; n > 0; --n) line += std::string("\t") + features[pick(5)];
    // Half the bets call and half the joins go to table 1, so hands reach a showdown.
    if (line.back() == '\t')
        line += line == "BET\t" && pick(2) ? "0" : line == "JOINGAME\t" && pick(2) ? "1" : args[pick(16)];
    for (int n = line == "EXCHANGE" ? pick(4) : pick(12) / 10; n > 0; --n)
        line += std::string("\t") + args[pick(10)];
    return line;
}

TEST(Property, RandomTrafficKeepsTheServerSound) {
    const char* env = std::getenv("QUORVANE_SEED");
    const auto seed = static_cast<unsigned>(env ? std::strtoul(env, nullptr, 10) : 20240917);
    SCOPED_TRACE("QUORVANE_SEED=" + std::to_string(seed));
    std::mt19937 rng(seed);
    Server s(seededShuffler(seed));
    for (int step = 0; step < 30000 && !::testing::Test::HasFailure(); ++step) {
        const int i = std::uniform_int_distribution<int>(1, 10)(rng),
                  roll = std::uniform_int_distribution<int>(0, 999)(rng);
        const std::string line = randomLine(rng);
        if (s.sock(i).st == ISocket::kClosed) {
            s.connect(i);
        } else if (roll < 4) {
            s.disconnect(i);
        } else {
            s.send(i, line);
        }
        s.lines(i);
        if (::testing::Test::HasFailure()) ADD_FAILURE() << "step " << step << ", slot " << i << ": " << line;
    }
}

}  // namespace
}  // namespace server::testing
