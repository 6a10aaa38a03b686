#pragma once
// The card sound of the window program.

#include <memory>
#include <string>

#include "client/core/ports.h"

class QSoundEffect;

namespace client {

// Plays name + ".wav" from the working directory with Qt Multimedia, waiting
// in a local event loop that takes no user input, bounded so a stuck device
// cannot hang the table. A missing file, no audio output or a sound already
// playing return false at once.
class WavSound : public ISound {
public:
    WavSound();
    ~WavSound() override;
    bool PlayWav(const std::string& name) override;

private:
    std::unique_ptr<QSoundEffect> effect_;
    bool playing_ = false;
};

}  // namespace client
