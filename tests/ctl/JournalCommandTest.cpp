#include "ctl/CommandRunner.h"
#include "ctl/ExitStatus.h"
#include "ctl/FakeMeterLink.h"
#include "journal/Journal.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace zr::ctl {
namespace {

using journal::Journal;

constexpr int kColumns = 7;

struct Outcome {
    int status = -1;
    QByteArray out;
    QByteArray err;
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
    return {number,
            QStringLiteral("АИ-95"),
            QStringLiteral("Р-2"),
            QStringLiteral("ООО \"Север\", склад"),
            QStringLiteral("MON"),
            QStringLiteral("95,3"),
            QStringLiteral("01.03.2026 10:00")};
}

// Appends one row in its own commit and returns the time the journal gave it.
QDateTime appendRow(Journal& journal, qint64 session, int position, const QString& number) {
    journal.begin();
    journal.insertRows(session, position, 1);
    journal.setRow(session, position, rowTexts(number));
    journal.commit();
    return journal.rows(session).back().written;
}

// A journal of one closed session with rows "1" and "2", written at two different times.
struct WrittenJournal {
    QTemporaryDir dir;
    QString path = dir.filePath(QString::fromLatin1(journal::kJournalFileName));
    QDateTime started;
    QDateTime first;
    QDateTime second;

    WrittenJournal() {
        Journal journal(path, kColumns, 2000);
        const qint64 session = journal.startSession(journal::ProcessIdentity::current());
        started = journal.sessions().back().started;
        first = appendRow(journal, session, 0, QStringLiteral("1"));
        while (QDateTime::currentDateTimeUtc() <= first) {
        }
        second = appendRow(journal, session, 1, QStringLiteral("2"));
        journal.closeSession(session);
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

// One CSV line's fields (RFC 4180, CR LF ended), with quoted fields unquoted.
QStringList csvFields(const QByteArray& line) {
    const QString text = QString::fromUtf8(line.endsWith('\r') ? line.chopped(1) : line);
    QStringList fields{QString()};
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == u'"' && quoted && i + 1 < text.size() && text.at(i + 1) == u'"') {
            fields.back() += c;
            ++i;
        } else if (c == u'"') {
            quoted = !quoted;
        } else if (c == u',' && !quoted) {
            fields << QString();
        } else {
            fields.back() += c;
        }
    }
    return fields;
}

TEST(CtlJournalCommandTest, SinceAndUntilIncludeTheirBoundsAndADateItsWholeDay) {
    const WrittenJournal written;
    const QDate today = written.second.toLocalTime().date();
    struct Case {
        const char* name;
        QStringList filters;
        QStringList numbers;
    };
    const Case cases[] = {
        {"unfiltered", {}, {"1", "2"}},
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

TEST(CtlJournalCommandTest, EachFormOfOutputCarriesTheSessionTheTimeAndTheSevenTexts) {
    const WrittenJournal written;
    const QStringList expected = QStringList{isoLocalTime(written.started.toLocalTime()),
                                             isoLocalTime(written.first.toLocalTime())} +
                                 rowTexts(QStringLiteral("1"));
    const QStringList keys{"session_started", "time",   "number", "grade",    "tank",
                           "supplier",        "method", "value",  "date_time"};
    struct Case {
        const char* flag;
        std::function<QStringList(const QByteArray&)> firstRow;
    };
    const Case cases[] = {
        {"--json",
         [&](const QByteArray& out) {
             const QJsonObject row = QJsonDocument::fromJson(out).array().at(0).toObject();
             QStringList values;
             for (const QString& key : keys) {
                 values << row.value(key).toString();
             }
             return values;
         }},
        {"--csv",
         [&](const QByteArray& out) {
             const QList<QByteArray> lines = out.split('\n');
             EXPECT_EQ(csvFields(lines.at(0)), keys);
             return csvFields(lines.at(1));
         }},
        {nullptr,
         [&](const QByteArray& out) {
             const QStringList lines = QString::fromUtf8(out).split(QLatin1Char('\n'));
             const QStringList headers = lines.at(0).split(QLatin1Char(' '), Qt::SkipEmptyParts);
             EXPECT_TRUE(headers.contains(QStringLiteral("Марка"))) << lines.at(0).toStdString();
             EXPECT_TRUE(lines.at(0).contains(QStringLiteral("Дата/Время")));
             // Table cells are padded apart; each text stands whole in its line.
             QStringList values;
             for (const QString& text : expected) {
                 if (lines.at(1).contains(text)) {
                     values << text;
                 }
             }
             return values;
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.flag ? c.flag : "table");
        const Outcome outcome =
            runJournal(c.flag ? QStringList{written.path, c.flag} : QStringList{written.path});
        ASSERT_EQ(outcome.status, kDone) << outcome.err.toStdString();
        EXPECT_EQ(c.firstRow(outcome.out), expected);
    }
}

TEST(CtlJournalCommandTest, AMissingJournalIsReportedAndNotCreated) {
    const QTemporaryDir dir;
    const QString path = dir.filePath(QString::fromLatin1(journal::kJournalFileName));
    const Outcome outcome = runJournal({path});
    EXPECT_EQ(outcome.status, kError);
    EXPECT_EQ(outcome.err, (path + QStringLiteral(": no such file\n")).toUtf8());
    EXPECT_TRUE(outcome.out.isEmpty());
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
}

TEST(CtlJournalCommandTest, ADamagedOrForeignFileIsRefusedAndLeftByteForByte) {
    struct Case {
        const char* name;
        std::function<void(const QString&)> make;
        const char* error;
    };
    const auto withBytes = [](const QByteArray& bytes) {
        return [bytes](const QString& path) {
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(bytes);
        };
    };
    const Case cases[] = {
        {"damaged", withBytes(QByteArray(8192, '\x5a')), "file is not a database"},
        {"empty", withBytes({}), "not a journal of this program"},
        {"foreign",
         [](const QString& path) {
             journal::Database foreign(path);
             foreign.execute("CREATE TABLE other (x); INSERT INTO other VALUES (1)");
         },
         "not a journal of this program"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QTemporaryDir dir;
        const QString path = dir.filePath(QString::fromLatin1(journal::kJournalFileName));
        c.make(path);
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray before = file.readAll();
        file.close();

        const Outcome outcome = runJournal({path});
        EXPECT_EQ(outcome.status, kError);
        EXPECT_TRUE(outcome.err.startsWith((path + QStringLiteral(": ")).toUtf8()));
        EXPECT_TRUE(outcome.err.contains(c.error)) << outcome.err.toStdString();
        EXPECT_TRUE(outcome.out.isEmpty());
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll(), before);
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files),
                  QStringList{file.fileName().section('/', -1)});
    }
}

TEST(CtlJournalCommandTest, AJournalAWindowIsWritingShowsItsCommittedRows) {
    const QTemporaryDir dir;
    const QString path = dir.filePath(QString::fromLatin1(journal::kJournalFileName));
    Journal writer(path, kColumns, 2000);
    const qint64 session = writer.startSession(journal::ProcessIdentity::current());
    appendRow(writer, session, 0, QStringLiteral("1"));
    // The writer is inside its next transaction, holding the write lock.
    writer.begin();
    writer.insertRows(session, 1, 1);
    writer.setRow(session, 1, rowTexts(QStringLiteral("2")));

    const Outcome outcome = runJournal({path, QStringLiteral("--json")});
    EXPECT_EQ(outcome.status, kDone) << outcome.err.toStdString();
    EXPECT_EQ(numbersIn(outcome.out), QStringList{QStringLiteral("1")});

    writer.commit();
    EXPECT_EQ(numbersIn(runJournal({path, QStringLiteral("--json")}).out),
              (QStringList{QStringLiteral("1"), QStringLiteral("2")}));
}

} // namespace
} // namespace zr::ctl
