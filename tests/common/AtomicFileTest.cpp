#include "common/AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

} // namespace

TEST(AtomicFile, ReplacesWholeFilesAndLeavesNoTemporaryBehind) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("s1.okt"));
    EXPECT_EQ(zr::common::replaceFile(path, "old\r\n"), QString());
    EXPECT_EQ(zr::common::replaceFile(path, "new\r\n"), QString());
    EXPECT_EQ(contents(path), QByteArray("new\r\n"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("s1.okt")});
}

TEST(AtomicFile, AFailureNamesTheReasonAndKeepsWhatWasThere) {
    QTemporaryDir dir;
    // A directory where the file should be.
    const QString taken = dir.filePath(QStringLiteral("data.zr"));
    ASSERT_TRUE(QDir().mkdir(taken));
    EXPECT_FALSE(zr::common::replaceFile(taken, "x").isEmpty());
    EXPECT_TRUE(QFileInfo(taken).isDir());

    // A directory that does not exist.
    const QString nowhere = dir.filePath(QStringLiteral("missing/tmp1.html"));
    EXPECT_FALSE(zr::common::replaceFile(nowhere, "x").isEmpty());
    EXPECT_FALSE(QFileInfo::exists(nowhere));
}
