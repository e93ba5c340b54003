#include "calibration/LibraryStore.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include "support/FullDisk.h"
#include "support/TestFiles.h"

namespace zr::calibration {
namespace {

TEST(LibraryStore, ReadsAndReplacesTheFile) {
    QTemporaryDir dir;
    FileLibraryStore store(dir.filePath("data.zr"));
    EXPECT_FALSE(store.exists());
    EXPECT_EQ(store.read().outcome, common::FileRead::Outcome::Absent);

    ASSERT_TRUE(store.replace("first content"));
    EXPECT_TRUE(store.exists());
    EXPECT_EQ(store.read().bytes, QByteArray("first content"));
    ASSERT_TRUE(store.replace("second"));
    EXPECT_EQ(store.read().bytes, QByteArray("second"));
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
    EXPECT_EQ(directory.read().outcome, common::FileRead::Outcome::Failed);
    EXPECT_FALSE(directory.replace("x"));
    EXPECT_TRUE(QFileInfo(dir.filePath("data.zr")).isDir());
}

// The library on a disk with no room left, for a save smaller than a write buffer and for one
// larger than the disk: refused, and the old library stays whole.
TEST(LibraryStore, AFullDiskKeepsTheOldLibrary) {
    const QString disk = test::fullDiskDir();
    if (disk.isEmpty()) {
        test::rerunOnSmallTmpfs(QStringLiteral("LibraryStore.AFullDisk*"), 1);
        return;
    }
    const QString path = QDir(disk).filePath("data.zr");
    const QByteArray old(279 * 3, 'o');
    ASSERT_TRUE(FileLibraryStore(path).replace(old));
    test::fillDisk(disk, 0);
    for (const qsizetype entries : {4, 300}) {
        EXPECT_FALSE(FileLibraryStore(path).replace(QByteArray(279 * entries, 'n'))) << entries;
        EXPECT_EQ(test::fileBytes(path), old) << entries;
    }
    EXPECT_EQ(QDir(disk).entryList(QDir::Files), QStringList{"data.zr"});
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

        const common::FileRead content = FileLibraryStore(path).read();
        ASSERT_EQ(content.outcome, common::FileRead::Outcome::Read);
        const bool whole = content.bytes == earlier ||
                           content.bytes == QByteArray(279 * 4000, 'a') ||
                           content.bytes == QByteArray(279 * 7000, 'b');
        EXPECT_TRUE(whole) << "round " << round << ": " << content.bytes.size() << " bytes";
    }
    // What a killed save left beside the file goes with the next save.
    ASSERT_TRUE(FileLibraryStore(path).replace(earlier));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System),
              QStringList{"data.zr"});
}

} // namespace
} // namespace zr::calibration
