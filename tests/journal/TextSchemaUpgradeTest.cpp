#include "JournalRig.h"
#include "TextSchemaJournal.h"
#include "journal/JournalTexts.h"
#include "records/MeasurementRow.h"
#include "support/LocaleGuard.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace zr::journal::test {
namespace {

const QLocale kRussian(QLocale::Russian, QLocale::Russia);

QString shownDate(const char* utc) {
    return records::measurementTimestamp(
        QDateTime::fromString(QString::fromLatin1(utc), Qt::ISODateWithMs).toLocalTime(), kRussian);
}

// A row of a text-schema journal: where it stands, when it was written and deleted, its texts.
struct OldRow {
    int position;
    const char* written;
    const char* deleted;
    QStringList cells;
};

QStringList emptyCells() {
    return QStringList(7, QString());
}

// A journal the program wrote before its rows were typed: a closed run with a deleted row and
// texts that do not all type, and a run that crashed with two rows.
const std::vector<OldRow> kClosedRun = {
    {0,
     "2026-03-01T09:00:00.000Z",
     "",
     {"1", "АИ-92", "P 1", "ЛУКОЙЛ", "Исследовательский метод", "92,3",
      shownDate("2026-03-01T09:00:00.000Z")}},
    {-1,
     "2026-03-01T09:10:00.000Z",
     "2026-03-01T09:20:00.000Z",
     {"2", "АИ-95", "P 2", "ЮКОС", "Моторный метод", "85.1", "вчера"}},
    {1,
     "2026-03-01T09:30:00.000Z",
     "",
     {"3", "АИ-98", "P 3", "ЮКОС", "7", "ошибка", shownDate("2026-03-01T09:30:00.000Z")}},
    {2, "2026-03-01T09:30:00.000Z", "", emptyCells()},
};
const std::vector<OldRow> kCrashedRun = {
    {0,
     "2026-03-02T09:00:00.000Z",
     "",
     {"4", "АИ-92", "P 1", "ЛУКОЙЛ", " ", " ", shownDate("2026-03-02T09:00:00.000Z")}},
    {1,
     "2026-03-02T09:05:00.000Z",
     "",
     {"5", "ДТ", "P 4", "ЛУКОЙЛ", "Цетановое число", "51,2",
      shownDate("2026-03-02T09:05:00.000Z")}},
    {2, "2026-03-02T09:05:00.000Z", "", emptyCells()},
};

void writeTextSchemaJournal(const QString& path) {
    TextSchemaJournal old(path);
    const qint64 closed =
        old.addSession("2026-03-01T08:00:00.000Z", "2026-03-01T16:00:00.000Z", endedProcess(1));
    const qint64 crashed = old.addSession("2026-03-02T08:00:00.000Z", {}, endedProcess(2));
    for (const auto& [session, rows] : {std::pair{closed, &kClosedRun}, {crashed, &kCrashedRun}}) {
        for (const OldRow& row : *rows) {
            old.addRow(session, row.position, QString::fromLatin1(row.written),
                       QString::fromLatin1(row.deleted), row.cells);
        }
    }
}

std::vector<QStringList> shownRows(const std::vector<HistoryRow>& rows) {
    std::vector<QStringList> shown;
    for (const HistoryRow& row : rows) {
        shown.push_back(shownTexts(row.row, kRussian));
    }
    return shown;
}

TEST(TextSchemaUpgradeTest, EveryRowIsTypedTheCopyKeptAndTheCrashedTableRestored) {
    const zr::test::LocaleGuard locale{kRussian};
    QTemporaryDir dir;
    const QString path = dir.filePath(QString::fromLatin1(kJournalFileName));
    writeTextSchemaJournal(path);
    // Copies kept by upgrades before are never written over.
    const QDateTime now = QDateTime::currentDateTime();
    QStringList earlierCopies;
    for (int second = -1; second <= 60; ++second) {
        const QString name = path + QStringLiteral(".schema1-") +
                             now.addSecs(second).toString(QStringLiteral("yyyyMMdd-HHmmss"));
        QFile copy(name);
        ASSERT_TRUE(copy.open(QIODevice::WriteOnly) && copy.write("earlier") == 7);
        earlierCopies << QFileInfo(name).fileName();
    }

    std::vector<QStringList> written;
    for (const std::vector<OldRow>* run : {&kClosedRun, &kCrashedRun}) {
        for (const OldRow& row : *run) {
            if (row.cells != emptyCells()) {
                written.push_back(row.cells);
            }
        }
    }
    JournalRig rig(dir.path(), endedProcess(3));

    // The crashed run's table is back as it was; without a number list kept, none comes back.
    std::vector<QStringList> crashedTable;
    for (const OldRow& row : kCrashedRun) {
        crashedTable.push_back(row.cells);
    }
    EXPECT_EQ(rig.rows(), crashedTable);
    EXPECT_EQ(rig.messages.informed, QStringList{QString::fromUtf8(kRowsRestoredText).arg(2)});
    EXPECT_TRUE(rig.messages.errors.isEmpty()) << rig.messages.errors.join(u'|').toStdString();
    EXPECT_FALSE(rig.numbersRestored);

    // Every row is there, typed where its texts type, showing its texts as before.
    const std::vector<HistoryRow> rows = historyRows(path);
    EXPECT_EQ(History(path, 2000).schemaVersion(), 2);
    EXPECT_EQ(shownRows(rows), written);
    ASSERT_EQ(rows.size(), 5U);
    EXPECT_EQ(rows[0].row.value, 92.3);
    EXPECT_EQ(rows[0].row.method, 1);
    EXPECT_FALSE(rows[0].row.valueText || rows[0].row.momentText || rows[0].row.methodText);
    EXPECT_EQ(rows[0].changed, QDateTime(QDate(2026, 3, 1), QTime(9, 0), Qt::UTC));
    EXPECT_EQ(rows[1].deleted, QDateTime(QDate(2026, 3, 1), QTime(9, 20), Qt::UTC));
    EXPECT_EQ(rows[1].row.value, 85.1);
    EXPECT_EQ(rows[1].row.moment, rows[1].changed);
    EXPECT_EQ(rows[2].row.method, 7);
    EXPECT_FALSE(rows[2].row.value);
    EXPECT_EQ(rows[4].row.value, 51.2);
    EXPECT_EQ(rows[3].session.id, rows[4].session.id);
    EXPECT_NE(rows[0].session.id, rows[4].session.id);

    // The copy beside it is the old journal, whole.
    QStringList copies = QDir(dir.path()).entryList({QStringLiteral("journal.sqlite.schema1-*")});
    for (const QString& earlier : earlierCopies) {
        ASSERT_TRUE(copies.removeOne(earlier));
        QFile file(dir.filePath(earlier));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll(), QByteArray("earlier"));
    }
    ASSERT_EQ(copies.size(), 1);
    const QString copy = dir.filePath(copies.at(0));
    EXPECT_EQ(History(copy, 2000).schemaVersion(), 1);
    EXPECT_EQ(shownRows(historyRows(copy)), written);

    // Upgraded once: the next start neither upgrades nor copies again.
    rig.journal->closeSession();
    JournalRig next(dir.path(), endedProcess(4));
    EXPECT_TRUE(next.messages.errors.isEmpty());
    EXPECT_EQ(QDir(dir.path()).entryList({QStringLiteral("journal.sqlite.schema1-*")}).size(),
              earlierCopies.size() + 1);
}

} // namespace
} // namespace zr::journal::test
