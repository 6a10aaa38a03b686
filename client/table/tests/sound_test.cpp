// The card sound never fails loudly: no file or a broken one returns at once.
#include "client/table/sound.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace client {
namespace {

TEST(Sound, AMissingOrBrokenFileReturnsWithoutPlayingOrError) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir.path()));
    EXPECT_FALSE(WavSound().PlayWav("cardd"));
    QFile junk(dir.filePath("cardd.wav"));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("this is not a wave file");
    junk.close();
    EXPECT_FALSE(WavSound().PlayWav("cardd"));
    QDir::setCurrent(previous);
}

}  // namespace
}  // namespace client
