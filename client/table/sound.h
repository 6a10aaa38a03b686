#pragma once
// The card sound of the window program.

#include <memory>
#include <string>

#include "client/core/ports.h"

class QSoundEffect;
class QString;

namespace client {

// The file name + ".wav" in the working directory, else beside the program,
// else in the data folder installed next to the program's folder
// (<prefix>/games/../share/tessarin). Empty when none is readable.
QString findWav(const std::string& name, const QString& workingDir, const QString& programDir);

// Plays name + ".wav", found as above, with Qt Multimedia, waiting
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
