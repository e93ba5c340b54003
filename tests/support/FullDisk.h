#pragma once

#include "support/ChildTests.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <unistd.h>

namespace zr::test {

// A real full disk: a test runs itself again in its own mount namespace with a 64 KiB tmpfs at a
// fresh directory, whose path the child finds in ZR_FULL_DISK_DIR.
inline constexpr const char* kFullDiskVariable = "ZR_FULL_DISK_DIR";
inline constexpr qint64 kFullDiskSize = 64 * 1024;

// The small disk's directory in the child; empty in the parent.
inline QString fullDiskDir() {
    return qEnvironmentVariable(kFullDiskVariable);
}

// Runs the tests named `filter` on the small tmpfs (of `size` bytes: fillDisk with free bytes
// needs the default) and checks that all of them passed. Skips, saying why, when this process may
// not make a mount namespace or mount a tmpfs in it: the injected write errors then cover the
// messages.
inline void rerunOnSmallTmpfs(const QString& filter, int tests, qint64 size = kFullDiskSize) {
    QProcess probe;
    probe.setProcessChannelMode(QProcess::MergedChannels);
    probe.start(QStringLiteral("unshare"), {"-m", "true"});
    if (!probe.waitForFinished(30000) || probe.exitStatus() != QProcess::NormalExit ||
        probe.exitCode() != 0) {
        GTEST_SKIP() << "no mount namespace here" << (::geteuid() == 0 ? "" : " (not root)") << ": "
                     << probe.readAll().trimmed().toStdString();
    }
    QTemporaryDir mountPoint;
    QProcess child;
    QProcessEnvironment environment = childEnvironment();
    environment.insert(QString::fromLatin1(kFullDiskVariable), mountPoint.path());
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(
        QStringLiteral("unshare"),
        {"-m", "--propagation", "private", "sh", "-c",
         QStringLiteral("mount -t tmpfs -o size=%1 tmpfs \"$0\" || exit 97; exec \"$@\"").arg(size),
         mountPoint.path(), QCoreApplication::applicationFilePath(),
         QStringLiteral("--gtest_filter=") + filter});
    child.waitForFinished(120000);
    const QString output = QString::fromLocal8Bit(child.readAll());
    if (child.exitCode() == 97) {
        GTEST_SKIP() << "a tmpfs cannot be mounted here: " << output.trimmed().toStdString();
    }
    EXPECT_EQ(child.exitCode(), 0) << output.toStdString();
    EXPECT_TRUE(output.contains(QStringLiteral("[  PASSED  ] %1 test").arg(tests)))
        << output.toStdString();
}

// Fills the disk at `dir` until no more than `freeBytes` stay free (none: until a write fails).
inline void fillDisk(const QString& dir, qint64 freeBytes) {
    QFile filler(QDir(dir).filePath(QStringLiteral(".filler")));
    ASSERT_TRUE(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
    const QByteArray block(1024, 'f');
    qint64 left = kFullDiskSize - freeBytes;
    while ((freeBytes > 0 ? left > 0 : true) && filler.write(block) == block.size()) {
        left -= block.size();
    }
    filler.close();
}

} // namespace zr::test
