// Hand classification over all 2,598,960 five-card hands, in enumeration
// order and shuffled: the table lookup against the earlier evaluator (kept
// below as the baseline), with and without the hand's name, and the computer
// player's full draw analysis of one hand. Before the benchmarks, stderr gets
// the time and memory the tables took on first use.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "poker/hand_value.h"

namespace {

using Hand = std::array<std::int16_t, 5>;
using poker::Score;

// The evaluator as it was before the tables: sort, count, then only the
// tests that can pass.
namespace baseline {

class Evaluator {
public:
    void setCards(const Hand& cards) { cards_ = cards; }
    const Score& score() const { return score_; }

    void classify() {
        SortValues();
        const Counts n = countValues();
        int longest = 1, run = 1, pairs = 0;
        for (int i = 1; i <= 5; ++i) {
            if (i < 5 && sorted_[i] == sorted_[i - 1]) {
                ++run;
                continue;
            }
            if (run == 2) ++pairs;
            longest = std::max(longest, run);
            run = 1;
        }
        switch (longest) {
            case 1: {
                bool flush = false;
                if (CheckStraightFlush(flush) || flush || CheckStraight()) return;
                CheckHighCard();
                return;
            }
            case 2:
                if (pairs == 2 && CheckTwoPairs(n)) return;
                CheckPair(n);
                return;
            case 3:
                if (pairs == 1 && CheckFullHouse(n)) return;
                CheckThreeOfAKind(n);
                return;
            default: CheckFourOfAKind(n); return;
        }
    }

private:
    using Counts = std::array<std::int8_t, poker::kValuesPerSuit>;

    void SortValues() {
        for (int i = 0; i < 5; ++i) {
            const auto v = static_cast<std::int16_t>(poker::cardValue(cards_[i]));
            int j = i;
            for (; j > 0 && sorted_[j - 1] > v; --j) sorted_[j] = sorted_[j - 1];
            sorted_[j] = v;
        }
    }
    Counts countValues() const {
        Counts n{};
        for (auto v : sorted_) ++n[v];
        return n;
    }
    bool CheckStraightFlush(bool& flush) {
        flush = CheckFlush();
        if (flush && CheckStraight()) {
            score_[0] = poker::StraightFlush;
            return true;
        }
        return false;
    }
    bool CheckFourOfAKind(const Counts& n) {
        for (int v = 12; v >= 0; --v) {
            if (n[v] != 4) continue;
            std::int16_t kicker = -1;
            for (auto s : sorted_)
                if (s != v) kicker = s;
            score_ = {poker::FourOfAKind, static_cast<std::int16_t>(v), kicker, -1, -1, -1};
            return true;
        }
        return false;
    }
    bool CheckFullHouse(const Counts& n) {
        for (int t = 12; t >= 0; --t) {
            if (n[t] != 3) continue;
            for (int p = 12; p >= 0; --p) {
                if (n[p] != 2) continue;
                score_ = {
                    poker::FullHouse, static_cast<std::int16_t>(t), static_cast<std::int16_t>(p), -1, -1, -1};
                return true;
            }
            return false;
        }
        return false;
    }
    bool CheckFlush() {
        const int suit = poker::cardSuit(cards_[0]);
        if (poker::cardSuit(cards_[1]) != suit || poker::cardSuit(cards_[2]) != suit ||
            poker::cardSuit(cards_[3]) != suit || poker::cardSuit(cards_[4]) != suit)
            return false;
        score_ = {poker::Flush, sorted_[4], sorted_[3], sorted_[2], sorted_[1], sorted_[0]};
        return true;
    }
    bool CheckStraight() {
        if (sorted_[4] - sorted_[0] != 4) return false;
        for (int i = 1; i < 5; ++i)
            if (sorted_[i] == sorted_[i - 1]) return false;
        score_ = {poker::Straight, sorted_[4], -1, -1, -1, -1};
        return true;
    }
    bool CheckThreeOfAKind(const Counts& n) {
        for (int t = 12; t >= 0; --t) {
            if (n[t] != 3) continue;
            score_ = {poker::ThreeOfAKind, static_cast<std::int16_t>(t), -1, -1, -1, -1};
            int next = 2;
            for (int i = 4; i >= 0 && next <= 3; --i)
                if (sorted_[i] != t) score_[next++] = sorted_[i];
            return true;
        }
        return false;
    }
    bool CheckTwoPairs(const Counts& n) {
        for (int h = 12; h >= 0; --h) {
            if (n[h] != 2) continue;
            for (int l = h - 1; l >= 0; --l) {
                if (n[l] != 2) continue;
                std::int16_t kicker = -1;
                for (int k = 0; k <= 12; ++k) {
                    if (n[k] == 1) {
                        kicker = static_cast<std::int16_t>(k);
                        break;
                    }
                }
                score_ = {poker::TwoPairs,
                          static_cast<std::int16_t>(h),
                          static_cast<std::int16_t>(l),
                          kicker,
                          -1,
                          -1};
                return true;
            }
            return false;
        }
        return false;
    }
    bool CheckPair(const Counts& n) {
        for (int p = 12; p >= 0; --p) {
            if (n[p] != 2) continue;
            score_ = {poker::Pair, static_cast<std::int16_t>(p), -1, -1, -1, -1};
            int next = 2;
            for (int i = 4; i >= 0 && next <= 4; --i)
                if (sorted_[i] != p) score_[next++] = sorted_[i];
            return true;
        }
        return false;
    }
    bool CheckHighCard() {
        score_ = {poker::HighCard, sorted_[4], sorted_[3], sorted_[2], sorted_[1], sorted_[0]};
        return true;
    }

    Hand cards_{};
    Hand sorted_{};
    Score score_{};
};

}  // namespace baseline

const std::vector<Hand>& allHands(bool shuffled) {
    static const auto hands = [] {
        std::vector<Hand> v;
        v.reserve(2598960);
        for (std::int16_t a = 0; a < 52; ++a)
            for (std::int16_t b = a + 1; b < 52; ++b)
                for (std::int16_t c = b + 1; c < 52; ++c)
                    for (std::int16_t d = c + 1; d < 52; ++d)
                        for (std::int16_t e = d + 1; e < 52; ++e) v.push_back({a, b, c, d, e});
        return v;
    }();
    static const auto mixed = [] {
        auto v = hands;
        std::shuffle(v.begin(), v.end(), std::mt19937(20261206));
        return v;
    }();
    return shuffled ? mixed : hands;
}

template <class Evaluator>
void BM_Score(benchmark::State& state, bool shuffled) {
    const auto& hands = allHands(shuffled);
    Evaluator ev;
    for (auto _ : state) {
        for (const auto& h : hands) {
            ev.setCards(h);
            ev.classify();
            benchmark::DoNotOptimize(ev.score());
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(hands.size()));
}
void BM_ScoreBaseline(benchmark::State& state, bool shuffled) {
    BM_Score<baseline::Evaluator>(state, shuffled);
}
void BM_ScoreTables(benchmark::State& state, bool shuffled) {
    BM_Score<poker::HandEvaluator>(state, shuffled);
}
BENCHMARK_CAPTURE(BM_ScoreBaseline, enumerated, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ScoreTables, enumerated, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ScoreBaseline, shuffled, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ScoreTables, shuffled, true)->Unit(benchmark::kMillisecond);

// What the server's showdown and monitor run: LoadCards, Check_Hand, HandName.
void BM_NameBaseline(benchmark::State& state) {
    const auto& hands = allHands(false);
    baseline::Evaluator ev;
    std::string name;
    for (auto _ : state) {
        for (const auto& h : hands) {
            ev.setCards(h);
            ev.classify();
            name = poker::handName(ev.score());  // built entry by entry, as before
            benchmark::DoNotOptimize(name.data());
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(hands.size()));
}
BENCHMARK(BM_NameBaseline)->Unit(benchmark::kMillisecond);

void BM_NameTables(benchmark::State& state) {
    const auto& hands = allHands(false);
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
BENCHMARK(BM_NameTables)->Unit(benchmark::kMillisecond);

// Adds the key of every completion of `hand` (positions below `filled` are
// set) drawn from unseen[from..].
void completions(Hand& hand, int filled, int from, const std::array<std::int16_t, 47>& unseen,
                 std::int64_t& total) {
    if (filled == 5) {
        total += poker::handKey(hand);
        return;
    }
    for (int i = from; i <= 47 - (5 - filled); ++i) {
        hand[filled] = unseen[i];
        completions(hand, filled + 1, i + 1, unseen, total);
    }
}

// A computer player's discard decision: for each of the 32 ways to keep
// cards, every set of replacements from the 47 unseen cards is classified;
// the keep with the best mean key wins. 2,598,960 classifications.
int bestKeep(const Hand& dealt) {
    std::array<std::int16_t, 47> unseen{};
    for (std::int16_t code = 0, n = 0; code < 52; ++code)
        if (std::find(dealt.begin(), dealt.end(), code) == dealt.end()) unseen[n++] = code;
    double bestMean = -1;
    int best = 0;
    for (int mask = 0; mask < 32; ++mask) {
        Hand hand{};
        int kept = 0;
        for (int p = 0; p < 5; ++p)
            if (mask >> p & 1) hand[kept++] = dealt[p];
        std::int64_t total = 0;
        completions(hand, kept, 0, unseen, total);
        static constexpr int kDraws[] = {1533939, 178365, 16215, 1081, 47, 1};  // C(47, 5 - kept)
        const double mean = static_cast<double>(total) / kDraws[kept];
        if (mean > bestMean) bestMean = mean, best = mask;
    }
    return best;
}

void BM_DrawAnalysis(benchmark::State& state) {
    const Hand dealt{0, 13, 29, 46, 11};  // a pair of twos with a king, a nine and a five
    for (auto _ : state) benchmark::DoNotOptimize(bestKeep(dealt));
    state.SetItemsProcessed(state.iterations() * 2598960);
}
BENCHMARK(BM_DrawAnalysis)->Unit(benchmark::kMillisecond);

long residentKiB() {
    std::ifstream statm("/proc/self/statm");
    long size = 0, resident = 0;
    statm >> size >> resident;
    return resident * 4;  // 4 KiB pages
}

}  // namespace

int main(int argc, char** argv) {
    // The tables are built by the first classification of the process.
    const long before = residentKiB();
    const auto start = std::chrono::steady_clock::now();
    benchmark::DoNotOptimize(poker::handKey(0, 1, 2, 3, 4));
    const std::chrono::duration<double, std::milli> built = std::chrono::steady_clock::now() - start;
    std::fprintf(stderr, "tables built on first use in %.2f ms, resident size grew by %ld KiB\n",
                 built.count(), residentKiB() - before);

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
