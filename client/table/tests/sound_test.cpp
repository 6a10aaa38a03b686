#include "client/table/sound.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace client {
namespace {

// Runs a test in an empty working directory.
class SoundTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        previous = QDir::currentPath();
        ASSERT_TRUE(QDir::setCurrent(dir.path()));
    }
    void TearDown() override { QDir::setCurrent(previous); }

    QTemporaryDir dir;
    QString previous;
};

TEST_F(SoundTest, AMissingFileIsSilentAndNoError) {
    WavSound sound;
    EXPECT_FALSE(sound.PlayWav("cardd"));
    EXPECT_FALSE(sound.PlayWav("no such sound"));
}

TEST_F(SoundTest, AFileThatIsNoSoundReturnsWithoutPlaying) {
    QFile junk(dir.filePath("cardd.wav"));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("this is not a wave file");
    junk.close();
    WavSound sound;
    EXPECT_FALSE(sound.PlayWav("cardd"));
}

}  // namespace
}  // namespace client
