#include "ctl/CommandRunner.h"
#include "ctl/ExitStatus.h"
#include "ctl/FakeMeterLink.h"
#include "journal/Journal.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace zr::ctl {
namespace {

using journal::Journal;

constexpr int kColumns = 7;

struct Outcome {
    int status = -1;
    QByteArray out, err;
};

// `journal` with these arguments, as the command line gives them.
Outcome runJournal(const QStringList& arguments) {
    const ParsedCommandLine parsed = parseCommandLine(
        QStringList{QStringLiteral("zr6040ctl"), QStringLiteral("journal")} + arguments);
    EXPECT_TRUE(parsed.run) << parsed.standardError.toStdString();
    Outcome result;
    CommandRunner::Io io;
    io.out = [&](const QByteArray& bytes) {
        result.out += bytes;
        return true;
    };
    io.err = [&](const QByteArray& bytes) {
        result.err += bytes;
        return true;
    };
    test::FakeMeterLink meter;
    CommandRunner runner(parsed.invocation, meter, std::move(io));
    result.status = runner.run();
    return result;
}

QStringList rowTexts(const QString& number) {
    return QStringList{number} +
           QStringList{"АИ-95", "Р-2", "ООО Север", "MON", "95.3", "01.03.2026 10:00"};
}

// Appends one row in its own commit and returns the time the journal gave it.
QDateTime appendRow(Journal& journal, qint64 session, int position, const QString& number) {
    journal.begin();
    journal.insertRows(session, position, 1);
    journal.setRow(session, position, rowTexts(number));
    journal.commit();
    return journal.rows(session).back().written;
}

// A journal a running window writes: rows "1" and "2" committed at two different times, "1"
// then deleted, and the window inside its next transaction, holding the write lock over row "3".
struct WrittenJournal {
    QTemporaryDir dir;
    QString path = dir.filePath(QString::fromLatin1(journal::kJournalFileName));
    Journal writer{path, kColumns, 2000};
    QDateTime started, first, second, firstDeleted;

    WrittenJournal() {
        const qint64 session = writer.startSession(journal::ProcessIdentity::current());
        started = writer.sessions().back().started;
        first = appendRow(writer, session, 0, QStringLiteral("1"));
        while (QDateTime::currentDateTimeUtc() <= first) {
        }
        second = appendRow(writer, session, 1, QStringLiteral("2"));
        writer.begin();
        writer.removeRows(session, 0, 1);
        writer.commit();
        firstDeleted = writer.rows(session).front().deleted;
        writer.begin();
        writer.insertRows(session, 1, 1);
        writer.setRow(session, 1, rowTexts(QStringLiteral("3")));
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
        const Outcome outcome =
            runJournal(QStringList{written.path, QStringLiteral("--json")} + c.filters);
        EXPECT_EQ(outcome.status, kDone) << outcome.err.toStdString();
        EXPECT_EQ(numbersIn(outcome.out), c.numbers);
    }
}

TEST(CtlJournalCommandTest, EachFormOfOutputCarriesTheSessionTheTimeTheSevenTextsAndTheDeletion) {
    const WrittenJournal written;
    ASSERT_TRUE(written.firstDeleted.isValid());
    const QStringList row = QStringList{isoLocalTime(written.started.toLocalTime()),
                                        isoLocalTime(written.first.toLocalTime())} +
                            rowTexts(QStringLiteral("1")) +
                            QStringList{isoLocalTime(written.firstDeleted.toLocalTime())};
    // The first row's texts in each form; the field names are pinned with the other commands'.
    const std::pair<const char*, std::function<QStringList(const QString&)>> cases[] = {
        {"--json",
         [](const QString& out) {
             const QJsonArray rows = QJsonDocument::fromJson(out.toUtf8()).array();
             // A row still in the table has no deletion.
             EXPECT_TRUE(rows.at(1).toObject().value(QStringLiteral("deleted")).isNull());
             const QJsonObject object = rows.at(0).toObject();
             QStringList values;
             for (const QString& key : journalLayout().keys) {
                 values << object.value(key).toString();
             }
             return values;
         }},
        {"--csv",
         [](const QString& out) { return out.split(QStringLiteral("\r\n")).at(1).split(u','); }},
        {"table",
         [](const QString& out) {
             // Cells stand apart by two spaces at least; the texts hold no two in a row.
             const QRegularExpression gap(QStringLiteral("  +"));
             const QStringList lines = out.split(u'\n');
             EXPECT_EQ(
                 lines.at(0).split(gap),
                 (QStringList{"Начало сеанса", "Время записи", "№", "Марка бензина", "Резервуар",
                              "Поставщик", "Метод изм.", "ОЧ", "Дата/Время", "Удалена"}));
             return lines.at(1).split(gap);
         }},
    };
    for (const auto& [flag, firstRow] : cases) {
        SCOPED_TRACE(flag);
        const QString form = QString::fromLatin1(flag);
        const Outcome outcome = runJournal(form.startsWith(u'-') ? QStringList{written.path, form}
                                                                 : QStringList{written.path});
        ASSERT_EQ(outcome.status, kDone) << outcome.err.toStdString();
        EXPECT_EQ(firstRow(QString::fromUtf8(outcome.out)), row);
    }
}

QByteArray bytesOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("absent");
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

        const Outcome outcome = runJournal({path});
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
