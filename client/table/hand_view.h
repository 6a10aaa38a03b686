#pragma once
// What the seat hand needs of the window: drawing one card slot and writing
// the status bar. The window implements it; tests record the calls.

#include <cstdint>
#include <string>

namespace client {

class IHandView {
public:
    virtual ~IHandView() = default;
    // Shows picture code CardNo in slot PosNo (0..4), repaints it and lets
    // pending events run.
    virtual void DrawCard(std::int16_t PosNo, std::int16_t CardNo) = 0;
    // Writes the single panel of the status bar.
    virtual void ShowStatus(const std::string& text) = 0;
};

}  // namespace client
