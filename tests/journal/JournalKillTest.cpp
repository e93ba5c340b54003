#include "JournalRig.h"
#include "TextSchemaJournal.h"

#include <QElapsedTimer>
#include <QFile>
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

// A journal of the text schema: one closed run of `rows` rows, row r's value r.
void writeTextSchemaJournal(const QString& path, int rows) {
    TextSchemaJournal old(path);
    old.begin();
    const qint64 session =
        old.addSession("2026-03-01T08:00:00.000Z", "2026-03-01T16:00:00.000Z", endedProcess(1));
    for (int r = 1; r <= rows; ++r) {
        old.addRow(session, r - 1, "2026-03-01T09:00:00.000Z", {},
                   {QString::number(r), "АИ-92", "P 1", "ЛУКОЙЛ", "Моторный метод",
                    QString::number(r), "вчера"});
    }
    old.commit();
}

// The history's values, which must all be there after any kill.
QStringList historyValues(const QString& path) {
    QStringList values;
    for (const HistoryRow& row : historyRows(path)) {
        values << shownTexts(row.row).at(5);
    }
    return values;
}

// Starts the upgrading child on `path`; returns once it runs.
void startUpgrade(QProcess& child, const QString& path) {
    child.start(QStringLiteral(ZR_JOURNAL_UPGRADE_CHILD), {path});
    ASSERT_TRUE(child.waitForStarted(10000));
    ASSERT_TRUE(child.waitForReadyRead(10000));
}

// A program killed at any moment while it upgrades the journal leaves one that reads whole, of
// the old schema or the new, and beside it no copy that is not whole; the next start upgrades it.
TEST(JournalKill, AKilledUpgradeLeavesAJournalThatReadsWhole) {
    constexpr int kRows = 3000;
    QTemporaryDir dir;
    const QString original = dir.filePath(QStringLiteral("original.sqlite"));
    writeTextSchemaJournal(original, kRows);
    const QStringList values = historyValues(original);
    ASSERT_EQ(values.size(), kRows);

    // How long an upgrade takes here, so that the kills fall inside it.
    QElapsedTimer upgrade;
    {
        QTemporaryDir round;
        const QString path = round.filePath(QString::fromLatin1(kJournalFileName));
        ASSERT_TRUE(QFile::copy(original, path));
        QProcess child;
        startUpgrade(child, path);
        upgrade.start();
        ASSERT_TRUE(child.waitForFinished(60000));
    }
    const qint64 upgradeUs = upgrade.nsecsElapsed() / 1000;

    QRandomGenerator random(6040);
    int upgraded = 0;
    constexpr int kRounds = 12;
    for (int n = 0; n < kRounds; ++n) {
        SCOPED_TRACE(n);
        QTemporaryDir round;
        const QString path = round.filePath(QString::fromLatin1(kJournalFileName));
        ASSERT_TRUE(QFile::copy(original, path));
        QProcess child;
        startUpgrade(child, path);
        // Some kills come after it, which must find the upgrade whole.
        QThread::usleep(static_cast<unsigned long>(random.bounded(upgradeUs * 3 / 2)));
        child.kill();
        child.waitForFinished(10000);

        const int version = History(path, 2000).schemaVersion();
        upgraded += version == 2 ? 1 : 0;
        EXPECT_EQ(historyValues(path), values);
        for (const QString& copy :
             QDir(round.path()).entryList({QStringLiteral("journal.sqlite.schema1-*")})) {
            // A scratch copy (and its rollback journal) a kill left is not named as a copy.
            if (!copy.contains(QStringLiteral(".partial"))) {
                EXPECT_EQ(historyValues(round.filePath(copy)), values) << copy.toStdString();
            }
        }
        { Journal(path, 2000); }
        EXPECT_EQ(History(path, 2000).schemaVersion(), 2);
        // The next start cleared what a killed copy left half made.
        EXPECT_TRUE(QDir(round.path()).entryList({QStringLiteral("*.partial*")}).isEmpty());
        EXPECT_EQ(historyValues(path), values);
    }
    std::printf("%d of %d kills came after the upgrade's commit\n", upgraded, kRounds);
}

// Of two programs starting at once on a journal of the text schema, one upgrades it and keeps
// the one copy; the other finds it upgraded.
TEST(JournalKill, OfTwoProgramsStartingAtOnceOneUpgrades) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QString::fromLatin1(kJournalFileName));
    writeTextSchemaJournal(path, 2000);
    const QStringList values = historyValues(path);
    QProcess first;
    QProcess second;
    first.start(QStringLiteral(ZR_JOURNAL_UPGRADE_CHILD), {path});
    second.start(QStringLiteral(ZR_JOURNAL_UPGRADE_CHILD), {path});
    ASSERT_TRUE(first.waitForFinished(60000) && second.waitForFinished(60000));
    ASSERT_EQ(first.exitCode(), 0) << first.readAllStandardOutput().toStdString();
    ASSERT_EQ(second.exitCode(), 0) << second.readAllStandardOutput().toStdString();
    const QList<QByteArray> copies{first.readAllStandardOutput().split('\n').value(1),
                                   second.readAllStandardOutput().split('\n').value(1)};
    EXPECT_EQ(copies.count("-"), 1);
    EXPECT_EQ(QDir(dir.path()).entryList({QStringLiteral("journal.sqlite.schema1-*")}).size(), 1);
    EXPECT_EQ(History(path, 2000).schemaVersion(), 2);
    EXPECT_EQ(historyValues(path), values);
}

} // namespace
} // namespace zr::journal::test
