#pragma once
// The names computer players take. Whoever starts one for a table passes a
// name nobody there has, so players can tell the computer players apart.

#include <algorithm>
#include <array>
#include <cstddef>
#include <string>
#include <vector>

namespace bot {

inline constexpr std::array kNames = {"ada", "bram", "cleo", "dunn", "edda", "fenn", "gus", "hale"};

// The first name from position `start` on (wrapping round) that is not in
// `taken`; the one at `start` when every name is taken.
inline std::string freeName(const std::vector<std::string>& taken, std::size_t start) {
    for (std::size_t i = 0; i < kNames.size(); ++i) {
        const std::string name = kNames[(start + i) % kNames.size()];
        if (std::find(taken.begin(), taken.end(), name) == taken.end()) return name;
    }
    return kNames[start % kNames.size()];
}

}  // namespace bot
