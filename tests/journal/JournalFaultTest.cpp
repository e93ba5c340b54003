#include "JournalRig.h"
#include "common/SystemError.h"
#include "journal/JournalTexts.h"
#include "support/FullDisk.h"

#include <QProcess>
#include <cerrno>
#include <gtest/gtest.h>

namespace zr::journal::test {
namespace {

// What becomes of the small disk under the journal, at start or while rows are written.
struct DiskFault {
    const char* name;
    void (*make)(const QString& dir);
    bool atStart;
    int error;
};

void fill(const QString& dir) {
    zr::test::fillDisk(dir, 0);
}

// Only a disk without files open for writing can be made read-only.
void remountReadOnly(const QString& dir) {
    ASSERT_EQ(QProcess::execute(QStringLiteral("mount"),
                                {QStringLiteral("-o"), QStringLiteral("remount,ro"), dir}),
              0);
}

// Runs only on the small tmpfs, in the process FullDiskJournal.* below starts there.
class DiskFaultChild : public ::testing::TestWithParam<DiskFault> {};

TEST_P(DiskFaultChild, IsToldOnceAndTheTableKeepsEveryRow) {
    const QString disk = zr::test::fullDiskDir();
    ASSERT_FALSE(disk.isEmpty()) << "started without its small disk";
    // The cases share the disk.
    for (const QString& file : QDir(disk).entryList(QDir::Files | QDir::Hidden)) {
        QFile::remove(QDir(disk).filePath(file));
    }
    const DiskFault& fault = GetParam();
    if (fault.atStart) {
        JournalRig earlier(disk, endedProcess(1));
        earlier.journal->closeSession();
        ASSERT_TRUE(earlier.journal->isActive());
    }
    if (fault.atStart) {
        fault.make(disk);
    }
    JournalRig rig(disk);
    rig.writeRow(QStringLiteral("91,5"));
    if (!fault.atStart) {
        ASSERT_TRUE(rig.messages.errors.isEmpty()) << rig.messages.errors.join('|').toStdString();
        fault.make(disk);
    }
    for (int i = 0; i < 40; ++i) {
        rig.writeRow(QString::number(i));
    }
    EXPECT_FALSE(rig.journal->isActive());
    ASSERT_EQ(rig.messages.errors.size(), 1);
    const QString expected = QString::fromUtf8(kJournalUnwritableText)
                                 .arg(QDir(disk).filePath(QStringLiteral("journal.sqlite")),
                                      common::systemErrorText(fault.error)) +
                             QLatin1Char('\n') + QString::fromUtf8(kWithoutJournalText);
    EXPECT_EQ(rig.messages.errors.at(0).toStdString(), expected.toStdString());
    const std::vector<QStringList> rows = rig.rows();
    ASSERT_EQ(rows.size(), 42U);
    EXPECT_EQ(rows.at(0).at(5), QStringLiteral("91,5"));
    EXPECT_EQ(rows.at(40).at(5), QStringLiteral("39"));
}

INSTANTIATE_TEST_SUITE_P(Journal, DiskFaultChild,
                         ::testing::Values(DiskFault{"FullDisk", fill, false, ENOSPC},
                                           DiskFault{"ReadOnlyDisk", remountReadOnly, true, EROFS}),
                         [](const auto& test) { return std::string(test.param.name); });

TEST(FullDiskJournal, RunsTheDiskFaultsOnASmallTmpfs) {
    // Room for the journal, its write-ahead log and the log's 32 KiB index.
    zr::test::rerunOnSmallTmpfs(QStringLiteral("Journal/DiskFaultChild.*"), 2, 1024 * 1024);
}

} // namespace
} // namespace zr::journal::test
