// Classifications per second over all 2,598,960 five-card hands, in
// enumeration order, with and without building the hand's name.
#include <benchmark/benchmark.h>

#include <array>
#include <vector>

#include "poker/hand_value.h"

namespace {

const std::vector<std::array<std::int16_t, 5>>& allHands() {
    static const auto hands = [] {
        std::vector<std::array<std::int16_t, 5>> v;
        v.reserve(2598960);
        for (std::int16_t a = 0; a < 52; ++a)
            for (std::int16_t b = a + 1; b < 52; ++b)
                for (std::int16_t c = b + 1; c < 52; ++c)
                    for (std::int16_t d = c + 1; d < 52; ++d)
                        for (std::int16_t e = d + 1; e < 52; ++e) v.push_back({a, b, c, d, e});
        return v;
    }();
    return hands;
}

void BM_ClassifyAllHands(benchmark::State& state) {
    const auto& hands = allHands();
    poker::HandEvaluator ev;
    for (auto _ : state) {
        for (const auto& h : hands) {
            ev.SetCards(h);
            ev.Classify();
            benchmark::DoNotOptimize(ev.score());
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(hands.size()));
}
BENCHMARK(BM_ClassifyAllHands)->Unit(benchmark::kMillisecond);

void BM_ClassifyAndNameAllHands(benchmark::State& state) {
    const auto& hands = allHands();
    poker::clsHandValue hv;
    for (auto _ : state) {
        for (const auto& h : hands) {
            hv.LoadCards(h);
            hv.Check_Hand();
            benchmark::DoNotOptimize(hv.HandName.data());
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(hands.size()));
}
BENCHMARK(BM_ClassifyAndNameAllHands)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
