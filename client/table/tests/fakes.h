#pragma once
// Recording stand-ins for the window and the sound.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "client/core/ports.h"

namespace client::testing {

struct RecordingView : IHandView {
    std::vector<std::pair<std::int16_t, std::int16_t>> draws;  // (PosNo, CardNo)
    std::vector<std::string> statuses;
    void DrawCard(std::int16_t PosNo, std::int16_t CardNo) override { draws.emplace_back(PosNo, CardNo); }
    void ShowStatus(const std::string& text) override { statuses.push_back(text); }
};

struct CountingSound : ISound {
    std::vector<std::string> played;
    bool PlayWav(const std::string& name) override {
        played.push_back(name);
        return true;
    }
};

}  // namespace client::testing
