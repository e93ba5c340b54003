#include "ctl/JournalCommand.h"
#include "ctl/CommandRunner.h"
#include "ctl/CtlRun.h"
#include "ctl/ExitStatus.h"
#include "ctl/IsoTime.h"
#include "journal/History.h"
#include "journal/Journal.h"
#include "journal/TextSchemaJournal.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <ctime>
#include <gtest/gtest.h>

namespace zr::ctl {
namespace {

using journal::Journal;
using journal::TableRow;

const QLocale kRussian(QLocale::Russian, QLocale::Russia);

// `journal` with these arguments, as the command line gives them.
test::CtlOutcome runJournal(const QStringList& arguments, const QLocale& locale = kRussian) {
    return test::runCtl(QStringList{QStringLiteral("journal")} + arguments, {.locale = locale});
}

const QDateTime kMeasured(QDate(2026, 3, 1), QTime(10, 0), Qt::UTC);

TableRow typedRow(const QString& number) {
    TableRow row;
    row.number = number;
    row.grade = QStringLiteral("АИ-95");
    row.tank = QStringLiteral("Р-2");
    row.supplier = QStringLiteral("ООО Север, склад");
    row.method = 2;
    row.value = 95.3;
    row.valueDecimals = TableRow::kOneDecimal;
    row.moment = kMeasured;
    return row;
}

// Appends one row in its own commit and returns the time the journal gave it.
QDateTime appendRow(Journal& journal, const QString& path, qint64 session, int position,
                    const TableRow& row) {
    journal.begin();
    journal.insertRows(session, position, 1);
    journal.setRow(session, position, row, QStringLiteral("SN-17"));
    journal.commit();
    journal::History history(path, 2000);
    history.select({}, {});
    journal::HistoryRow last;
    for (journal::HistoryRow read; history.next(read);) {
        last = read;
    }
    return last.changed;
}

// A journal a running window writes: rows "1" and "2" committed at two different times, "1"
// then deleted, and the window inside its next transaction, holding the write lock over row "3".
struct WrittenJournal {
    QTemporaryDir dir;
    QString path = dir.filePath(QString::fromLatin1(journal::kJournalFileName));
    Journal writer{path, 2000};
    QDateTime started, first, second, firstDeleted;

    WrittenJournal() {
        const qint64 session = writer.startSession(journal::ProcessIdentity::current());
        first = appendRow(writer, path, session, 0, typedRow(QStringLiteral("1")));
        while (QDateTime::currentDateTimeUtc() <= first) {
        }
        second = appendRow(writer, path, session, 1, typedRow(QStringLiteral("2")));
        writer.begin();
        writer.removeRows(session, 0, 1);
        writer.commit();
        journal::History history(path, 2000);
        started = history.sessions().at(0).started;
        history.select({}, {});
        journal::HistoryRow row;
        history.next(row);
        firstDeleted = row.deleted;
        writer.begin();
        writer.insertRows(session, 1, 1);
        writer.setRow(session, 1, typedRow(QStringLiteral("3")), {});
    }
};

QString localText(const QDateTime& time) {
    return time.toLocalTime().toString(Qt::ISODateWithMs);
}

QStringList numbersIn(const QByteArray& json) {
    QStringList numbers;
    for (const QJsonValue& row : QJsonDocument::fromJson(json).array()) {
        numbers << row.toObject().value(QStringLiteral("number")).toString();
    }
    return numbers;
}

TEST(CtlJournalCommandTest, SinceAndUntilIncludeTheirBoundsAndADateItsWholeDayWhileAWindowWrites) {
    const WrittenJournal written;
    const QDate today = written.second.toLocalTime().date();
    struct Case {
        const char* name;
        QStringList filters;
        QStringList numbers;
    };
    const Case cases[] = {
        {"since the first row's time", {"--since", localText(written.first)}, {"1", "2"}},
        {"since just after it", {"--since", localText(written.first.addMSecs(1))}, {"2"}},
        {"until the second row's time", {"--until", localText(written.second)}, {"1", "2"}},
        {"until just before it", {"--until", localText(written.second.addMSecs(-1))}, {"1"}},
        {"since today", {"--since", today.toString(Qt::ISODate)}, {"1", "2"}},
        {"until today", {"--until", today.toString(Qt::ISODate)}, {"1", "2"}},
        {"since tomorrow", {"--since", today.addDays(1).toString(Qt::ISODate)}, {}},
        {"until yesterday", {"--until", today.addDays(-1).toString(Qt::ISODate)}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const test::CtlOutcome outcome =
            runJournal(QStringList{written.path, QStringLiteral("--json")} + c.filters);
        EXPECT_EQ(outcome.status, kDone) << outcome.err.toStdString();
        EXPECT_EQ(numbersIn(outcome.out), c.numbers);
    }
}

// Scripts read these names and types: the first release's fields keep their names and places,
// the later ones follow.
TEST(CtlJournalCommandTest,
     JsonAndCsvCarryTypedFieldsInTheDocumentedOrderAndTheTableTheShownTexts) {
    const WrittenJournal written;
    ASSERT_TRUE(written.firstDeleted.isValid());
    const auto local = [](const QDateTime& time) { return isoLocalTime(time.toLocalTime()); };
    const auto utc = [](const QDateTime& time) { return time.toString(Qt::ISODateWithMs); };
    const QList<std::pair<const char*, QJsonValue>> fields = {
        {"session_started", local(written.started)},
        {"time", local(written.first)},
        {"number", "1"},
        {"grade", "АИ-95"},
        {"tank", "Р-2"},
        {"supplier", "ООО Север, склад"},
        {"method", 2},
        {"value", 95.3},
        {"date_time", local(kMeasured)},
        {"deleted", local(written.firstDeleted)},
        {"method_name", "Моторный метод"},
        {"session_started_utc", utc(written.started)},
        {"time_utc", utc(written.first)},
        {"date_time_utc", "2026-03-01T10:00:00.000Z"},
        {"deleted_utc", utc(written.firstDeleted)},
        {"session_id", QJsonValue::Undefined},
        {"row_id", QJsonValue::Undefined},
        {"host", QJsonValue::Undefined},
        {"meter_serial", "SN-17"},
        {"revision", QJsonValue::Undefined},
        {"method_text", QJsonValue::Null},
        {"value_text", QJsonValue::Null},
        {"date_time_text", QJsonValue::Null},
    };
    QStringList keys;
    for (const auto& field : fields) {
        keys << QString::fromLatin1(field.first);
    }
    EXPECT_EQ(journalLayout().keys, keys);

    const test::CtlOutcome json = runJournal({written.path, QStringLiteral("--json")});
    ASSERT_EQ(json.status, kDone) << json.err.toStdString();
    const QJsonArray rows = QJsonDocument::fromJson(json.out).array();
    ASSERT_EQ(rows.size(), 2);
    const QJsonObject first = rows.at(0).toObject();
    EXPECT_EQ(first.keys().size(), keys.size());
    for (const auto& [key, value] : fields) {
        SCOPED_TRACE(key);
        const QJsonValue got = first.value(QLatin1String(key));
        if (value.isUndefined()) {
            // Made by the journal: present, of its type.
            EXPECT_TRUE(got.isString() || got.isDouble());
        } else {
            EXPECT_EQ(got, value);
        }
    }
    EXPECT_TRUE(rows.at(1).toObject().value(QStringLiteral("deleted")).isNull());
    EXPECT_TRUE(rows.at(1).toObject().value(QStringLiteral("deleted_utc")).isNull());
    // The members stand in the documented order.
    const QByteArray line = json.out.split('\n').at(1);
    qsizetype place = 0;
    for (const QString& key : keys) {
        const qsizetype at = line.indexOf(QByteArray('"' + key.toUtf8() + "\":"));
        EXPECT_GT(at, place) << key.toStdString();
        place = at;
    }

    const test::CtlOutcome csv = runJournal({written.path, QStringLiteral("--csv")});
    ASSERT_EQ(csv.status, kDone) << csv.err.toStdString();
    const QStringList csvLines = QString::fromUtf8(csv.out).split(QStringLiteral("\r\n"));
    EXPECT_EQ(csvLines.at(0), keys.join(u','));
    const QString csvFirst = csvLines.at(1);
    EXPECT_TRUE(csvFirst.startsWith(local(written.started) + u',' + local(written.first) +
                                    QStringLiteral(",1,АИ-95,Р-2,\"ООО Север, склад\",2,95.3,")))
        << csvFirst.toStdString();

    // The readable table shows the texts of the window's table, in the locale's format.
    const test::CtlOutcome table = runJournal({written.path});
    ASSERT_EQ(table.status, kDone) << table.err.toStdString();
    // Cells stand apart by two spaces at least; the texts hold no two in a row.
    const QRegularExpression gap(QStringLiteral("  +"));
    const QStringList lines = QString::fromUtf8(table.out).split(u'\n');
    EXPECT_EQ(lines.at(0).split(gap),
              (QStringList{"Начало сеанса", "Время записи", "№", "Марка бензина", "Резервуар",
                           "Поставщик", "Метод изм.", "ОЧ", "Дата/Время", "Удалена"}));
    const QStringList shown = QStringList{local(written.started), local(written.first)} +
                              journal::shownTexts(typedRow(QStringLiteral("1")), kRussian) +
                              QStringList{local(written.firstDeleted)};
    EXPECT_EQ(lines.at(1).split(gap), shown);
}

QByteArray bytesOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("absent");
}

// A journal of the text schema is read as it is, typed as the window would upgrade it, and
// neither upgraded nor copied.
TEST(CtlJournalCommandTest, AJournalOfTheTextSchemaIsReadTypedAndLeftAsItIs) {
    const QTemporaryDir dir;
    const QString path = dir.filePath(QString::fromLatin1(journal::kJournalFileName));
    {
        journal::test::TextSchemaJournal old(path);
        const qint64 session = old.addSession("2026-03-01T08:00:00.000Z", {}, {});
        old.addRow(session, 0, "2026-03-01T09:00:00.000Z", {},
                   {"1", "АИ-92", "P 1", "ЛУКОЙЛ", "Исследовательский метод", "91,4",
                    "01.03.2026 12:00:00"});
        old.addRow(session, 1, "2026-03-01T09:05:00.000Z", {}, QStringList(7, QString()));
    }
    const QByteArray before = bytesOf(path);

    const test::CtlOutcome json = runJournal({path, QStringLiteral("--json")});
    ASSERT_EQ(json.status, kDone) << json.err.toStdString();
    const QJsonArray rows = QJsonDocument::fromJson(json.out).array();
    ASSERT_EQ(rows.size(), 1);
    const QJsonObject row = rows.at(0).toObject();
    EXPECT_EQ(row.value(QStringLiteral("value")), QJsonValue(91.4));
    EXPECT_EQ(row.value(QStringLiteral("method")), QJsonValue(1));
    EXPECT_EQ(row.value(QStringLiteral("time_utc")), QJsonValue("2026-03-01T09:00:00.000Z"));
    EXPECT_TRUE(row.value(QStringLiteral("row_id")).isNull());
    EXPECT_TRUE(row.value(QStringLiteral("revision")).isNull());
    EXPECT_EQ(bytesOf(path), before);
    EXPECT_EQ(journal::History(path, 2000).schemaVersion(), 1);
    EXPECT_TRUE(QDir(dir.path()).entryList({QStringLiteral("journal.sqlite.schema1-*")}).isEmpty());
}

// However many rows, the output goes out in blocks while they are read.
TEST(CtlJournalCommandTest, ManyRowsAreWrittenInBlocksAsTheyAreRead) {
    const QTemporaryDir dir;
    const QString path = dir.filePath(QString::fromLatin1(journal::kJournalFileName));
    constexpr int kRows = 3000;
    {
        Journal journal(path, 2000);
        const qint64 session = journal.startSession(journal::ProcessIdentity::current());
        journal.begin();
        journal.insertRows(session, 0, kRows);
        for (int r = 0; r < kRows; ++r) {
            journal.setRow(session, r, typedRow(QString::number(r)), {});
        }
        journal.commit();
    }
    for (const char* form : {"--json", "--csv"}) {
        SCOPED_TRACE(form);
        const test::CtlOutcome outcome = runJournal({path, QString::fromLatin1(form)});
        ASSERT_EQ(outcome.status, kDone) << outcome.err.toStdString();
        EXPECT_GT(outcome.outWrites, 2);
        EXPECT_EQ(outcome.out.count('\n'), kRows + (form == QLatin1String("--json") ? 2 : 1));
    }
    EXPECT_EQ(
        QJsonDocument::fromJson(runJournal({path, QStringLiteral("--json")}).out).array().size(),
        kRows);
}

// Local times in a zone with summer time: each instant with the offset of its own moment, the
// offset asked again past every transition, whichever way the instants go.
TEST(CtlIsoTimeTest, ALocalTimeHasTheOffsetOfItsMomentAcrossTransitions) {
    const QByteArray zone = qgetenv("TZ");
    qputenv("TZ", "Europe/Berlin");
    ::tzset();
    LocalOffsets offsets;
    // Summer time from 2026-03-29 01:00 UTC to 2026-10-25 01:00 UTC.
    for (const char* utc :
         {"2026-01-15T12:00:00.000Z", "2026-03-29T00:59:59.999Z", "2026-03-29T01:00:00.000Z",
          "2026-07-01T23:30:00.000Z", "2026-10-25T00:59:59.999Z", "2026-10-25T01:00:00.000Z",
          "2026-12-31T23:59:59.999Z", "2026-06-01T00:00:00.000Z", "1999-12-31T23:00:00.000Z"}) {
        SCOPED_TRACE(utc);
        const QDateTime time = QDateTime::fromString(QString::fromLatin1(utc), Qt::ISODateWithMs);
        const QDateTime local = time.toLocalTime();
        const qint64 msecs = time.toMSecsSinceEpoch();
        EXPECT_EQ(isoTime(msecs, offsets.offsetAt(msecs)),
                  local.toOffsetFromUtc(local.offsetFromUtc()).toString(Qt::ISODateWithMs));
        EXPECT_EQ(isoTime(msecs, std::nullopt), QString::fromLatin1(utc));
    }
    if (zone.isNull()) {
        qunsetenv("TZ");
    } else {
        qputenv("TZ", zone);
    }
    ::tzset();
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
}

TEST(CtlJournalCommandTest, AMissingDamagedOrForeignFileIsAnErrorAndLeftAsItWas) {
    struct Case {
        const char* name;
        std::function<void(const QString&)> make;
        const char* error;
    };
    const Case cases[] = {
        {"missing", [](const QString&) {}, "no such file"},
        {"damaged", [](const QString& path) { writeBytes(path, QByteArray(8192, 'Z')); },
         "file is not a database"},
        {"empty", [](const QString& path) { writeBytes(path, {}); },
         "not a journal of this program"},
        {"foreign",
         [](const QString& path) {
             journal::Database(path).execute(
                 "CREATE TABLE other (x); INSERT INTO other VALUES (1)");
         },
         "not a journal of this program"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QTemporaryDir dir;
        const QString path = dir.filePath(QString::fromLatin1(journal::kJournalFileName));
        c.make(path);
        const QByteArray before = bytesOf(path);
        const QStringList files = QDir(dir.path()).entryList(QDir::Files);

        const test::CtlOutcome outcome = runJournal({path});
        EXPECT_EQ(outcome.status, kError);
        EXPECT_EQ(outcome.err, (path + QStringLiteral(": ") + c.error + u'\n').toUtf8());
        EXPECT_TRUE(outcome.out.isEmpty());
        EXPECT_EQ(bytesOf(path), before);
        // Nothing made beside it either: no journal, write-ahead log or lock file.
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), files);
    }
}

} // namespace
} // namespace zr::ctl
