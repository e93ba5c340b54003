#include "JournalRig.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

namespace zr::journal::test {
namespace {

// A program killed at any moment while it writes rows leaves a journal whose restored table
// holds every row whose write had returned, the one being written at most in addition, each
// whole, and the empty entry row below them. Each round restores the table the last one left.
TEST(JournalKill, TheRestoredTableHoldsEveryReturnedRowWhole) {
    QTemporaryDir dir;
    QRandomGenerator random(6040);
    int rows = 0;
    for (int round = 0; round < 200; ++round) {
        QProcess child;
        child.start(QStringLiteral(ZR_JOURNAL_WRITE_CHILD), {dir.path()});
        ASSERT_TRUE(child.waitForStarted(10000));
        ASSERT_TRUE(child.waitForReadyRead(10000)) << "round " << round;
        QThread::usleep(random.bounded(0, 20000));
        child.kill();
        child.waitForFinished(10000);
        const QList<QByteArray> lines = child.readAllStandardOutput().trimmed().split('\n');
        const int returned = lines.last().toInt();
        ASSERT_EQ(lines.first().toInt(), rows + 1) << "round " << round;

        JournalRig restored(dir.path(), endedProcess(round + 1));
        const std::vector<QStringList> table = restored.rows();
        rows = static_cast<int>(table.size()) - 1;
        ASSERT_TRUE(rows == returned || rows == returned + 1)
            << "round " << round << ": " << rows << " rows, " << returned << " returned";
        for (int r = 1; r <= rows; ++r) {
            const QStringList& cells = table[static_cast<std::size_t>(r - 1)];
            ASSERT_EQ(cells.at(5), QString::number(r)) << "round " << round << ", row " << r;
            ASSERT_EQ(cells.indexOf(QString()), -1) << "round " << round << ", row " << r;
        }
        ASSERT_EQ(table.back(), QStringList(7, QString())) << "round " << round;
    }
}

} // namespace
} // namespace zr::journal::test
