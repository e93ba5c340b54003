#include "common/AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/file.h>
#include <sys/stat.h>

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

// A kill between finishing and renaming leaves the new content under the program's temporary
// name; the next save removes it, but not one another running instance holds, nor the user's.
TEST(AtomicFile, LeftoversOfKilledSavesGoButNotThoseInUseNorTheUsers) {
    QTemporaryDir dir;
    const QDir d(dir.path());
    const QString path = d.filePath(QStringLiteral("s1.okt"));
    const QString dead = d.filePath(QStringLiteral(".s1.okt.zr6040-a1b2c3"));
    const QString held = d.filePath(QStringLiteral(".s1.okt.zr6040-d4e5f6"));
    const QString users = d.filePath(QStringLiteral("s1.okt.backup"));
    for (const QString& name : {dead, held, users}) {
        QFile file(name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("x");
    }
    QFile holder(held);
    ASSERT_TRUE(holder.open(QIODevice::ReadOnly));
    ASSERT_EQ(::flock(holder.handle(), LOCK_EX), 0);

    EXPECT_EQ(zr::common::replaceFile(path, "new\r\n"), QString());
    EXPECT_FALSE(QFileInfo::exists(dead));
    EXPECT_TRUE(QFileInfo::exists(held));
    EXPECT_TRUE(QFileInfo::exists(users));
    EXPECT_EQ(contents(path), QByteArray("new\r\n"));
}

// A FIFO is neither waited on nor replaced; a link is followed and stays a link; the file's
// permissions survive.
TEST(AtomicFile, SpecialFilesLinksAndPermissions) {
    QTemporaryDir dir;
    const QString fifo = dir.filePath(QStringLiteral("data.zr"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    EXPECT_EQ(zr::common::replaceFile(fifo, "x"), QStringLiteral("это не обычный файл"));
    EXPECT_FALSE(QFileInfo(fifo).isFile());

    const QString real = dir.filePath(QStringLiteral("real.txt"));
    const QString link = dir.filePath(QStringLiteral("link.txt"));
    ASSERT_EQ(zr::common::replaceFile(real, "old"), QString());
    ASSERT_TRUE(QFile::setPermissions(real, QFile::ReadOwner | QFile::WriteOwner));
    ASSERT_TRUE(QFile::link(real, link));
    EXPECT_EQ(zr::common::replaceFile(link, "new"), QString());
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(contents(real), QByteArray("new"));
    struct stat status {};
    ASSERT_EQ(::stat(QFile::encodeName(real).constData(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0600U);
}
