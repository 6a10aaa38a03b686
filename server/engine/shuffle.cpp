#include "server/engine/shuffle.h"

#include <sys/random.h>

#include <array>
#include <cerrno>
#include <memory>
#include <random>
#include <stdexcept>
#include <utility>

namespace server {

namespace {

// A deck needs one word per position; rejections are rare enough (about one
// in 2^58 per draw) that one batch almost always serves the whole shuffle.
constexpr std::size_t kBatch = 64;

class WordStream {
public:
    explicit WordStream(const WordSource& source) : source_(source) {}
    std::uint64_t next() {
        if (used_ == words_.size()) {
            source_(words_);
            used_ = 0;
        }
        return words_[used_++];
    }

private:
    const WordSource& source_;
    std::array<std::uint64_t, kBatch> words_{};
    std::size_t used_ = kBatch;
};

// Uniform in [0, bound) by Lemire's multiply-and-reject.
std::uint64_t below(std::uint64_t bound, WordStream& words) {
    unsigned __int128 m = static_cast<unsigned __int128>(words.next()) * bound;
    auto low = static_cast<std::uint64_t>(m);
    if (low < bound) {
        const std::uint64_t threshold = (0 - bound) % bound;
        while (low < threshold) {
            m = static_cast<unsigned __int128>(words.next()) * bound;
            low = static_cast<std::uint64_t>(m);
        }
    }
    return static_cast<std::uint64_t>(m >> 64);
}

void osWords(std::span<std::uint64_t> out) {
    auto* bytes = reinterpret_cast<unsigned char*>(out.data());
    std::size_t left = out.size_bytes();
    while (left > 0) {
        const ssize_t got = getrandom(bytes, left, 0);
        if (got < 0) {
            if (errno == EINTR) continue;
            // Never fall back to something guessable: no deal is better than a known one.
            throw std::runtime_error("getrandom failed");
        }
        bytes += got;
        left -= static_cast<std::size_t>(got);
    }
}

}  // namespace

void fisherYates(std::span<std::int16_t> cards, const WordSource& source) {
    WordStream words(source);
    for (std::size_t i = cards.size(); i > 1; --i) std::swap(cards[i - 1], cards[below(i, words)]);
}

ShuffleFn osShuffler() {
    return [](std::span<std::int16_t> cards) { fisherYates(cards, osWords); };
}

ShuffleFn seededShuffler(std::uint64_t seed) {
    auto generator = std::make_shared<std::mt19937_64>(seed);
    return [generator](std::span<std::int16_t> cards) {
        fisherYates(cards, [&](std::span<std::uint64_t> out) {
            for (auto& w : out) w = (*generator)();
        });
    };
}

}  // namespace server
