#pragma once
// Shuffling the deck. Every order of the cards must be equally likely and no
// player may be able to work out the order from what he sees, so the default
// draws from the operating system's secure generator.

#include <cstdint>
#include <functional>
#include <span>

#include "server/engine/game.h"

namespace server {

// Fills the span with uniformly random 64-bit words.
using WordSource = std::function<void(std::span<std::uint64_t>)>;

// Fisher-Yates from the last card down, each position swapped with a uniform
// pick among the positions not yet fixed (rejection sampling: no modulo bias).
void fisherYates(std::span<std::int16_t> cards, const WordSource& words);

// Words from getrandom, one call per shuffle.
ShuffleFn osShuffler();
// The same shuffle from a seeded generator: reproducible, and therefore
// predictable by anyone who knows the seed. For measurements only.
ShuffleFn seededShuffler(std::uint64_t seed);

}  // namespace server
