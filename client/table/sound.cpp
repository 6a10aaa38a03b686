#include "client/table/sound.h"

#include <QAudioDevice>
#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QTimer>
#include <QUrl>

namespace client {

namespace {

// A card sound is a fraction of a second; anything longer is cut short so
// the deal goes on even if the audio device stalls.
constexpr int kMaxWaitMs = 1000;

// Runs a local loop until `done` turns true or the bound passes. User input
// waits meanwhile, as it would while a synchronous sound plays.
template <typename Done>
void waitFor(QSoundEffect& effect, Done done) {
    if (done()) return;
    QEventLoop loop;
    QTimer bound;
    bound.setSingleShot(true);
    QObject::connect(&bound, &QTimer::timeout, &loop, &QEventLoop::quit);
    auto check = [&] {
        if (done()) loop.quit();
    };
    QObject::connect(&effect, &QSoundEffect::statusChanged, &loop, check);
    QObject::connect(&effect, &QSoundEffect::playingChanged, &loop, check);
    bound.start(kMaxWaitMs);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

}  // namespace

QString findWav(const std::string& name, const QString& workingDir, const QString& programDir) {
    const QString file = QString::fromLatin1(name.c_str()) + QStringLiteral(".wav");
    const QString dataDir = QDir::cleanPath(programDir + QStringLiteral("/../share/tessarin"));
    for (const QString& folder : {workingDir, programDir, dataDir}) {
        const QFileInfo candidate(QDir(folder).filePath(file));
        if (candidate.isFile() && candidate.isReadable()) return candidate.absoluteFilePath();
    }
    return {};
}

WavSound::WavSound() = default;
WavSound::~WavSound() = default;

bool WavSound::PlayWav(const std::string& name) {
    if (playing_) return false;
    const QString file = findWav(name, QDir::currentPath(), QCoreApplication::applicationDirPath());
    if (file.isEmpty()) return false;
    if (QMediaDevices::audioOutputs().isEmpty()) return false;

    playing_ = true;
    if (!effect_) effect_ = std::make_unique<QSoundEffect>();
    const QUrl source = QUrl::fromLocalFile(file);
    if (effect_->source() != source) effect_->setSource(source);
    QSoundEffect& effect = *effect_;
    waitFor(effect, [&] { return effect.status() != QSoundEffect::Loading; });
    bool played = false;
    if (effect.status() == QSoundEffect::Ready) {
        bool started = false;
        effect.play();
        played = true;
        // Playing may begin a little after play(); the sound is over once
        // it has been seen playing and has stopped again.
        waitFor(effect, [&] {
            if (effect.isPlaying()) started = true;
            return started && !effect.isPlaying();
        });
        effect.stop();
    }
    playing_ = false;
    return played;
}

}  // namespace client
