#include "calibration/LibraryStore.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace zr::calibration {
namespace {

TEST(LibraryStore, ReadsAndReplacesTheFile) {
    QTemporaryDir dir;
    FileLibraryStore store(dir.filePath("data.zr"));
    EXPECT_FALSE(store.exists());
    EXPECT_FALSE(store.read().has_value());

    ASSERT_TRUE(store.replace("first content"));
    EXPECT_TRUE(store.exists());
    EXPECT_EQ(store.read(), QByteArray("first content"));
    ASSERT_TRUE(store.replace("second"));
    EXPECT_EQ(store.read(), QByteArray("second"));
    // Nothing but the file is left in the directory.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"data.zr"});
}

TEST(LibraryStore, AFileThatCannotBeWrittenIsLeftAsItWas) {
    QTemporaryDir dir;
    FileLibraryStore missingDirectory(dir.filePath("gone/data.zr"));
    EXPECT_FALSE(missingDirectory.replace("x"));

    // A directory where the file should be can be neither read nor replaced.
    ASSERT_TRUE(QDir(dir.path()).mkdir("data.zr"));
    FileLibraryStore directory(dir.filePath("data.zr"));
    EXPECT_TRUE(directory.exists());
    EXPECT_FALSE(directory.read().has_value());
    EXPECT_FALSE(directory.replace("x"));
    EXPECT_TRUE(QFileInfo(dir.filePath("data.zr")).isDir());
}

} // namespace
} // namespace zr::calibration
