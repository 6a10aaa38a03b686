// The time of one decision: the whole draw analysis, and the answer to BET.

#include <benchmark/benchmark.h>

#include <array>

#include "bot/player.h"

namespace {

// A pair, two pairs, trips, a flush draw, a straight draw, nothing, a straight, ace-king.
constexpr std::array<bot::Cards, 8> kHands = {{
    {7, 20, 37, 42, 0},
    {9, 22, 28, 41, 0},
    {5, 18, 31, 41, 0},
    {37, 34, 30, 27, 6},
    {4, 18, 32, 46, 0},
    {51, 20, 5, 28, 13},
    {6, 20, 34, 48, 10},
    {12, 24, 33, 42, 1},
}};

bot::TableView table(int opponents) {
    bot::TableView t;
    for (int s = 0; s <= opponents; ++s) t.state[s] = 4;
    return t;
}

void discard(benchmark::State& state) {
    bot::Player player;
    auto t = table(static_cast<int>(state.range(0)));
    std::size_t i = 0;
    for (auto _ : state) {
        t.cards = kHands[i++ % kHands.size()];
        benchmark::DoNotOptimize(player.discard(t));
    }
}
BENCHMARK(discard)->Arg(1)->Arg(3)->Unit(benchmark::kMillisecond);

void bet(benchmark::State& state) {
    bot::Player player;
    auto t = table(static_cast<int>(state.range(0)));
    t.state[0] = 6;
    for (int s = 1; s <= state.range(0); ++s) t.state[s] = 5, t.exchange[s] = s, t.ante[s] = 5;
    t.ante[0] = 5;
    t.exchange[0] = 1;
    std::size_t i = 0;
    for (auto _ : state) {
        t.cards = kHands[i++ % kHands.size()];
        player.newHand();
        benchmark::DoNotOptimize(player.bet(t));
    }
}
BENCHMARK(bet)->Arg(1)->Arg(3)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
