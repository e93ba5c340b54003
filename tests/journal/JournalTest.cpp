#include "JournalRig.h"
#include "journal/JournalTexts.h"
#include "support/FullDisk.h"
#include "support/LocaleGuard.h"
#include "support/WaitUntil.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <map>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

namespace zr::journal::test {
namespace {

QString restoredText(int rows) {
    return QString::fromUtf8(kRowsRestoredText).arg(rows);
}

std::vector<QStringList> emptyTable() {
    return {QStringList(7, QString())};
}

class JournalTest : public ::testing::Test {
protected:
    QString journalPath() const { return dir.filePath(QStringLiteral("journal.sqlite")); }
    QTemporaryDir dir;
};

// Written rows, a typed cell and a deletion all come back after a run that ended without
// closing, exactly as the table held them, entry row included; the user is told once.
TEST_F(JournalTest, ACrashedRunsTableComesBackAsItWas) {
    std::vector<QStringList> before;
    {
        JournalRig crashed(dir.path(), endedProcess(1));
        for (const char* value : {"91,5", "92,0", "95,1", "98,7"}) {
            crashed.writeRow(QString::fromLatin1(value));
        }
        crashed.model.setData(crashed.model.index(0, 3), QStringLiteral("typed"));
        crashed.deleteRow(2);
        before = crashed.rows();
        ASSERT_EQ(before.size(), 4U);
        EXPECT_TRUE(crashed.messages.informed.isEmpty());
    }
    JournalRig next(dir.path(), endedProcess(2));
    EXPECT_EQ(next.rows(), before);
    EXPECT_EQ(next.journal->restoredRows(), 3);
    EXPECT_EQ(next.messages.informed, QStringList{restoredText(3)});
    EXPECT_TRUE(next.messages.errors.isEmpty());

    // Writing goes on below the restored rows.
    next.writeRow(QStringLiteral("90,0"));
    EXPECT_EQ(next.rows().at(3).at(5), QStringLiteral("90,0"));

    // The history holds each row once: the crashed run keeps the row it deleted, the restoring
    // run the rows it took over.
    std::map<qint64, QStringList> values;
    for (const HistoryRow& row : historyRows(journalPath())) {
        values[row.session.id] << shownTexts(row.row).at(5);
    }
    ASSERT_EQ(values.size(), 2U);
    EXPECT_EQ(values.begin()->second, QStringList{"92,0"});
    EXPECT_EQ(values.rbegin()->second, (QStringList{"91,5", "95,1", "98,7", "90,0"}));
}

// The table's rows go into the journal's typed columns and come back as the very same rows,
// whatever the locale: a text typed where no field holds it stays beside that field.
TEST_F(JournalTest, TypedRowsComeBackAsTheSameRows) {
    const QDateTime moment(QDate(2026, 12, 7), QTime(10, 15, 30), Qt::UTC);
    const auto row = [&](const char* number, std::optional<int> method, std::optional<double> value,
                         int decimals) {
        records::MeasurementRow r;
        r.number = QString::fromUtf8(number);
        r.grade = QStringLiteral("АИ-92");
        r.method = method;
        r.value = value;
        r.valueDecimals = decimals;
        r.moment = moment;
        return r;
    };
    records::MeasurementRow typed = row("5", 2, 91.5, common::kOneDecimal);
    typed.typed[records::MeasurementRow::MethodColumn] = QStringLiteral("по ГОСТ");
    typed.typed[records::MeasurementRow::ValueColumn] = QStringLiteral("нет");
    typed.typed[records::MeasurementRow::MomentColumn] = QStringLiteral("вчера");
    records::MeasurementRow entryTypedInto;
    entryTypedInto.typed.fill(QString());
    entryTypedInto.typed[records::MeasurementRow::SupplierColumn].reset();
    entryTypedInto.supplier = QStringLiteral("ЛУКОЙЛ");
    const std::vector<records::MeasurementRow> written{
        row("12", 1, 92.3, common::kOneDecimal),
        row("1234567", 7, 85.12345672607422, common::kGeneralFormat),
        row("", std::nullopt, 0, common::kGeneralFormat),
        typed,
        entryTypedInto,
    };
    for (const QLocale& locale : {QLocale::c(), QLocale(QLocale::Russian, QLocale::Russia)}) {
        SCOPED_TRACE(locale.name().toStdString());
        const zr::test::LocaleGuard guard{locale};
        QTemporaryDir runDir;
        QList<records::MeasurementRow> before;
        {
            JournalRig crashed(runDir.path(), endedProcess(1));
            for (const records::MeasurementRow& r : written) {
                crashed.table.appendRow(r);
            }
            before = crashed.model.rows();
        }
        // The journal holds the numbers, not their texts.
        std::map<QString, TableRow> kept;
        for (const HistoryRow& h :
             historyRows(QDir(runDir.path()).filePath(QStringLiteral("journal.sqlite")))) {
            kept[h.row.number] = h.row;
        }
        const TableRow& stored = kept[QStringLiteral("1234567")];
        EXPECT_EQ(stored.value, 85.12345672607422);
        EXPECT_EQ(stored.method, 7);
        EXPECT_FALSE(stored.valueText.has_value());
        EXPECT_EQ(stored.moment, moment);
        EXPECT_EQ(kept[QStringLiteral("5")].valueText, QStringLiteral("нет"));

        JournalRig next(runDir.path(), endedProcess(2));
        EXPECT_EQ(next.model.rows(), before);
    }
}

// Every run that ended without closing comes back at the next start, not only the last: the
// tables one below the other, oldest first, each row once, the user told once of them all. A run
// that left no rows brings nothing.
TEST_F(JournalTest, EveryCrashedRunsTableComesBack) {
    // The runs crash together: while they write, their process runs.
    QProcess process;
    process.start(QStringLiteral("sleep"), {QStringLiteral("600")});
    ASSERT_TRUE(process.waitForStarted());
    std::vector<QStringList> expected;
    std::vector<std::unique_ptr<JournalRig>> runs;
    for (const std::vector<const char*>& values :
         std::vector<std::vector<const char*>>{{"91,5", "92,0"}, {}, {"80,1"}}) {
        runs.push_back(
            std::make_unique<JournalRig>(dir.path(), ProcessIdentity::of(process.processId())));
        for (const char* value : values) {
            runs.back()->writeRow(QString::fromLatin1(value));
        }
        EXPECT_EQ(runs.back()->journal->restoredRows(), 0);
        const std::vector<QStringList> rows = runs.back()->rows();
        expected.insert(expected.end(), rows.begin(), rows.end() - 1);
    }
    expected.push_back(QStringList(7, QString()));
    runs.clear();
    process.kill();
    process.waitForFinished();

    JournalRig next(dir.path(), endedProcess(9));
    EXPECT_EQ(next.rows(), expected);
    EXPECT_EQ(next.messages.informed, QStringList{restoredText(3)});
    const std::vector<HistoryRow> history = historyRows(journalPath());
    ASSERT_EQ(history.size(), 3U);
    for (const HistoryRow& row : history) {
        EXPECT_EQ(row.session.id, history.front().session.id);
    }
    next.journal->closeSession();
    EXPECT_EQ(JournalRig(dir.path(), endedProcess(10)).rows(), emptyTable());
}

// A process that has ended but was not yet collected by its parent runs no more.
TEST(ProcessIdentityTest, AZombieIsNotRunning) {
    int hold[2];
    ASSERT_EQ(::pipe(hold), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        char byte = 0;
        ::close(hold[1]);
        _exit(static_cast<int>(::read(hold[0], &byte, 1)));
    }
    ::close(hold[0]);
    const ProcessIdentity identity = ProcessIdentity::of(child);
    EXPECT_TRUE(identity.isRunning());
    ::close(hold[1]);
    // Not collected yet: its /proc entry stays, in state Z.
    const QString stat = QStringLiteral("/proc/%1/stat").arg(child);
    const auto zombie = [&] {
        QFile file(stat);
        return file.open(QIODevice::ReadOnly) && file.readAll().contains(") Z ");
    };
    WAIT_UNTIL(zombie(), 10000);
    EXPECT_FALSE(identity.isRunning());
    ::waitpid(child, nullptr, 0);
}

// The sample-number list comes back as the crashed run left it, each series where it was, not
// only the selected item moved past the table's highest number.
TEST_F(JournalTest, TheNumberListComesBackAsTheCrashedRunLeftIt) {
    {
        JournalRig crashed(dir.path(), endedProcess(1));
        const std::pair<int, int> series[] = {{0, 2}, {2, 3}, {1, 2}};
        for (const auto& [item, rows] : series) {
            crashed.lists.list(1).select(item);
            for (int row = 0; row < rows; ++row) {
                crashed.writeRow(QStringLiteral("91,5"));
            }
        }
    }
    JournalRig next(dir.path(), endedProcess(2));
    EXPECT_TRUE(next.numbersRestored);
    EXPECT_EQ(next.lists.list(1).items(), (QStringList{"3", "12", "103", "1000"}));
    EXPECT_EQ(next.lists.list(1).selectedIndex(), 1);
    EXPECT_EQ(next.lists.list(1).selectedText(), QStringLiteral("12"));
}

TEST_F(JournalTest, AfterANormalCloseTheTableStartsEmpty) {
    {
        JournalRig closed(dir.path(), endedProcess(1));
        closed.writeRow(QStringLiteral("91,5"));
        closed.journal->closeSession();
    }
    JournalRig next(dir.path(), endedProcess(2));
    EXPECT_EQ(next.rows(), emptyTable());
    EXPECT_TRUE(next.messages.informed.isEmpty());
}

// A session whose program still runs is another instance's table, not a crash: it is left to
// that instance, and each keeps its own rows.
TEST_F(JournalTest, TwoRunningInstancesKeepTheirOwnSessions) {
    JournalRig first(dir.path());
    first.writeRow(QStringLiteral("91,5"));
    JournalRig second(dir.path());
    EXPECT_EQ(second.rows(), emptyTable());
    second.writeRow(QStringLiteral("80,1"));
    first.writeRow(QStringLiteral("92,5"));
    ASSERT_TRUE(first.journal->isActive());
    ASSERT_TRUE(second.journal->isActive());

    std::map<qint64, QStringList> values;
    for (const HistoryRow& row : historyRows(journalPath())) {
        values[row.session.id] << shownTexts(row.row).at(5);
    }
    ASSERT_EQ(values.size(), 2U);
    EXPECT_EQ(values.begin()->second, (QStringList{"91,5", "92,5"}));
    EXPECT_EQ(values.rbegin()->second, QStringList{"80,1"});
}

// The history keeps every session with its start and close and every row it wrote, deleted
// rows too, each with its time.
TEST_F(JournalTest, TheHistoryKeepsEverySessionsRows) {
    const QDateTime start = QDateTime::currentDateTimeUtc().addSecs(-1);
    {
        JournalRig run(dir.path(), endedProcess(1));
        run.writeRow(QStringLiteral("91,5"));
        run.writeRow(QStringLiteral("92,5"));
        run.deleteRow(1);
        run.journal->closeSession();
    }
    { JournalRig(dir.path(), endedProcess(2)).writeRow(QStringLiteral("80,1")); }

    History reader(journalPath(), 2000);
    const std::vector<HistorySession> sessions = reader.sessions();
    ASSERT_EQ(sessions.size(), 2U);
    EXPECT_GE(sessions[0].started, start);
    EXPECT_GE(sessions[0].closed, sessions[0].started);
    EXPECT_FALSE(sessions[1].closed.isValid());
    EXPECT_NE(sessions[0].uuid, sessions[1].uuid);

    const std::vector<HistoryRow> rows = historyRows(journalPath());
    ASSERT_EQ(rows.size(), 3U);
    EXPECT_EQ(shownTexts(rows[0].row).at(5), QStringLiteral("91,5"));
    EXPECT_TRUE(rows[0].deleted.isValid());
    EXPECT_EQ(shownTexts(rows[1].row).at(5), QStringLiteral("92,5"));
    EXPECT_FALSE(rows[1].deleted.isValid());
    EXPECT_GE(rows[1].changed, sessions[0].started);
    EXPECT_EQ(rows[2].session.id, sessions[1].id);
    EXPECT_NE(rows[0].uuid, rows[1].uuid);
    // A later change has a higher revision.
    EXPECT_LT(rows[0].revision, rows[2].revision);
    EXPECT_LT(rows[1].revision, rows[2].revision);
}

// A tool printing the history only reads: a missing journal is not made.
TEST_F(JournalTest, AJournalReadForItsHistoryIsNeverCreated) {
    EXPECT_THROW(History(journalPath(), 2000), SqliteError);
    EXPECT_FALSE(QFile::exists(journalPath()));
}

// A journal written before the history window had its indexes gets them from the next writer, so
// that the window pages from indexes there too.
TEST_F(JournalTest, AJournalWithoutTheHistorysIndexesGetsThemWhenOpened) {
    const auto indexes = [this] {
        Database db(journalPath());
        Statement names(db.handle(), "SELECT count(*) FROM sqlite_schema WHERE type = 'index' "
                                     "AND name LIKE 'measurement_row_%'");
        return names.step() ? names.integer(0) : -1;
    };
    { Journal made(journalPath(), 2000); }
    const qint64 all = indexes();
    {
        Database db(journalPath());
        db.execute("DROP INDEX measurement_row_grade; DROP INDEX measurement_row_moment");
    }
    ASSERT_EQ(indexes(), all - 2);
    { Journal opened(journalPath(), 2000); }
    EXPECT_EQ(indexes(), all);
}

// A run that is killed never closes its journal; the write-ahead log it leaves, which the next
// start reads whole, stays small however much that run wrote.
TEST_F(JournalTest, TheWriteAheadLogStaysSmallWhileARunWrites) {
    Journal journal(journalPath(), 2000);
    const qint64 session = journal.startSession(endedProcess(1));
    const TableRow row =
        rowFromTexts(QStringList(7, QString(2000, u'Ж')), QDateTime::currentDateTimeUtc());
    for (int r = 0; r < 100; ++r) {
        journal.begin();
        journal.insertRows(session, r, 1);
        journal.setRow(session, r, row, QString());
        journal.commit();
    }
    const QString log = journalPath() + QStringLiteral("-wal");
    // 100 rows of 28 KB: about 3 MB written through the log.
    EXPECT_LE(QFileInfo(log).size(), 3 * 1024 * 1024 / 2);
    EXPECT_EQ(journal.table(session).size(), 100U);
}

// One file the program cannot use as its journal at start: what it does to the file there.
struct StartFault {
    const char* name;
    void (*make)(const QString& path, sqlite3** holder);
    // The message, before the common "works without the journal" line where there is one.
    QString message;
    // The journal in use afterwards (a new one beside the kept file).
    bool journalInUse;
    // The bytes are still at the journal's path (not kept aside).
    bool fileStays;
};

void writeGarbage(const QString& path, sqlite3**) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(8192, 'x'));
}

void runSql(const QString& path, const char* sql, sqlite3** holder) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.toUtf8().constData(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK);
    if (holder) {
        *holder = db;
    } else {
        sqlite3_close(db);
    }
}

void writeForeignDatabase(const QString& path, sqlite3**) {
    runSql(path, "CREATE TABLE notes (text TEXT); INSERT INTO notes VALUES ('mine');", nullptr);
}

void writeNewerJournal(const QString& path, sqlite3**) {
    JournalRig(QFileInfo(path).path(), endedProcess(1)).writeRow(QStringLiteral("91,5"));
    runSql(path, "PRAGMA user_version = 3", nullptr);
}

void lockJournal(const QString& path, sqlite3** holder) {
    JournalRig(QFileInfo(path).path(), endedProcess(1)).journal->closeSession();
    runSql(path, "BEGIN EXCLUSIVE", holder);
}

class StartFaultTest : public JournalTest, public ::testing::WithParamInterface<StartFault> {};

TEST_P(StartFaultTest, IsToldOnceKeepsTheFileAndTheTableWorks) {
    const StartFault& fault = GetParam();
    sqlite3* holder = nullptr;
    fault.make(journalPath(), &holder);
    QFile original(journalPath());
    ASSERT_TRUE(original.open(QIODevice::ReadOnly));
    const QByteArray bytes = original.readAll();
    original.close();

    JournalRig rig(dir.path(), endedProcess(2), 50);
    ASSERT_EQ(rig.messages.errors.size(), 1) << rig.messages.errors.join('|').toStdString();
    const QString message = rig.messages.errors.at(0);
    EXPECT_TRUE(message.startsWith(fault.message.section(QStringLiteral("%1"), 0, 0)))
        << message.toStdString();
    EXPECT_EQ(rig.journal->isActive(), fault.journalInUse);
    for (const char* value : {"91,5", "92,0"}) {
        rig.writeRow(QString::fromLatin1(value));
    }
    EXPECT_EQ(rig.rows().size(), 3U);
    EXPECT_EQ(rig.messages.errors.size(), 1);
    sqlite3_close(holder);

    const QStringList kept =
        QDir(dir.path()).entryList({QStringLiteral("journal.sqlite.damaged-*")}, QDir::Files);
    if (fault.fileStays) {
        EXPECT_TRUE(kept.isEmpty());
    } else {
        ASSERT_EQ(kept.size(), 1);
        EXPECT_TRUE(message.contains(kept.at(0))) << message.toStdString();
        QFile aside(dir.filePath(kept.at(0)));
        ASSERT_TRUE(aside.open(QIODevice::ReadOnly));
        EXPECT_EQ(aside.readAll(), bytes);
    }
}

QString damaged() {
    return QString::fromUtf8(kJournalDamagedText);
}

INSTANTIATE_TEST_SUITE_P(
    Journal, StartFaultTest,
    ::testing::Values(
        StartFault{"Damaged", writeGarbage, damaged(), true, false},
        StartFault{"Foreign", writeForeignDatabase, damaged(), true, false},
        StartFault{"Newer", writeNewerJournal, QString::fromUtf8(kJournalNewerText), false, true},
        StartFault{"Locked", lockJournal, QString::fromUtf8(kJournalBusyText), false, true}),
    [](const auto& test) { return std::string(test.param.name); });

} // namespace
} // namespace zr::journal::test
