#pragma once
// The card sound. The hand plays it through ISound so tests can count it.

#include <memory>
#include <string>

class QSoundEffect;

namespace client {

class ISound {
public:
    virtual ~ISound() = default;
    // Plays name + ".wav" from the working directory and returns when it has
    // finished. Returns whether it played; a missing file, no audio output or
    // a sound already playing return false at once. Never reports an error.
    virtual bool PlayWav(const std::string& name) = 0;
};

// The program's sound: Qt Multimedia, waiting in a local event loop that
// takes no user input, bounded so a stuck device cannot hang the table.
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
