#include "common/FileAccess.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include "support/FullDisk.h"
#include "support/TestFiles.h"

namespace zr::common {
namespace {

// Far above anything these tests write.
constexpr qint64 kLimit = qint64{64} * 1024 * 1024;

TEST(DiskFileAccess, ReadsAndReplacesTheFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath("data.zr");
    DiskFileAccess files;
    EXPECT_FALSE(files.exists(path));
    EXPECT_EQ(files.read(path, kLimit).outcome, FileRead::Outcome::Absent);

    ASSERT_EQ(files.replace(path, "first content"), QString());
    EXPECT_TRUE(files.exists(path));
    EXPECT_EQ(files.read(path, kLimit).bytes, QByteArray("first content"));
    ASSERT_EQ(files.replace(path, "second"), QString());
    EXPECT_EQ(files.read(path, kLimit).bytes, QByteArray("second"));
    // Nothing but the file is left in the directory.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"data.zr"});
}

TEST(DiskFileAccess, AFileThatCannotBeWrittenIsLeftAsItWas) {
    QTemporaryDir dir;
    DiskFileAccess files;
    EXPECT_NE(files.replace(dir.filePath("gone/data.zr"), "x"), QString());

    // A directory where the file should be can be neither read nor replaced.
    ASSERT_TRUE(QDir(dir.path()).mkdir("data.zr"));
    const QString directory = dir.filePath("data.zr");
    EXPECT_TRUE(files.exists(directory));
    EXPECT_EQ(files.read(directory, kLimit).outcome, FileRead::Outcome::Failed);
    EXPECT_NE(files.replace(directory, "x"), QString());
    EXPECT_TRUE(QFileInfo(dir.filePath("data.zr")).isDir());
}

// A library on a disk with no room left, for a save smaller than a write buffer and for one
// larger than the disk: refused, and the old library stays whole.
TEST(DiskFileAccess, AFullDiskKeepsTheOldFile) {
    const QString disk = test::fullDiskDir();
    if (disk.isEmpty()) {
        test::rerunOnSmallTmpfs(QStringLiteral("DiskFileAccess.AFullDisk*"), 1);
        return;
    }
    const QString path = QDir(disk).filePath("data.zr");
    const QByteArray old(279 * 3, 'o');
    DiskFileAccess files;
    ASSERT_EQ(files.replace(path, old), QString());
    test::fillDisk(disk, 0);
    for (const qsizetype entries : {4, 300}) {
        EXPECT_NE(files.replace(path, QByteArray(279 * entries, 'n')), QString()) << entries;
        EXPECT_EQ(test::fileBytes(path), old) << entries;
    }
    EXPECT_EQ(QDir(disk).entryList(QDir::Files), QStringList{"data.zr"});
}

// A process killed at any moment of a save leaves the old or the new library, never a shorter
// or mixed one.
TEST(DiskFileAccess, AKilledSaveLeavesAWholeFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath("data.zr");
    const QByteArray earlier(279 * 2, 'o');
    DiskFileAccess files;
    ASSERT_EQ(files.replace(path, earlier), QString());
    QRandomGenerator random(6040);
    for (int round = 0; round < 12; ++round) {
        QProcess child;
        child.start(QStringLiteral(ZR_FILE_ACCESS_SAVE_CHILD), {path});
        ASSERT_TRUE(child.waitForStarted(10000));
        ASSERT_TRUE(child.waitForReadyRead(10000));
        QThread::usleep(random.bounded(1000, 30000));
        child.kill();
        child.waitForFinished(10000);

        const FileRead content = files.read(path, kLimit);
        ASSERT_EQ(content.outcome, FileRead::Outcome::Read);
        const bool whole = content.bytes == earlier ||
                           content.bytes == QByteArray(279 * 4000, 'a') ||
                           content.bytes == QByteArray(279 * 7000, 'b');
        EXPECT_TRUE(whole) << "round " << round << ": " << content.bytes.size() << " bytes";
    }
    // What a killed save left beside the file goes with the next save.
    ASSERT_EQ(files.replace(path, earlier), QString());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System),
              QStringList{"data.zr"});
}

} // namespace
} // namespace zr::common
