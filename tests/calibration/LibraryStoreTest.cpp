#include "calibration/LibraryStore.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>
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

// A process killed at any moment of a save leaves the old or the new library, never a shorter
// or mixed one.
TEST(LibraryStore, AKilledSaveLeavesAWholeFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath("data.zr");
    const QByteArray earlier(279 * 2, 'o');
    ASSERT_TRUE(FileLibraryStore(path).replace(earlier));
    QRandomGenerator random(6040);
    for (int round = 0; round < 12; ++round) {
        QProcess child;
        child.start(QStringLiteral(ZR_LIBRARY_SAVE_CHILD), {path});
        ASSERT_TRUE(child.waitForStarted(10000));
        ASSERT_TRUE(child.waitForReadyRead(10000));
        QThread::usleep(random.bounded(1000, 30000));
        child.kill();
        child.waitForFinished(10000);

        const auto content = FileLibraryStore(path).read();
        ASSERT_TRUE(content.has_value());
        const bool whole = *content == earlier || *content == QByteArray(279 * 4000, 'a') ||
                           *content == QByteArray(279 * 7000, 'b');
        EXPECT_TRUE(whole) << "round " << round << ": " << content->size() << " bytes";
    }
}

} // namespace
} // namespace zr::calibration
