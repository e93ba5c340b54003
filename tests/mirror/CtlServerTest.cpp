// zr6040ctl's sync, journal --server and qc --server against a real server.
#include "MirrorRig.h"
#include "ctl/CtlRun.h"
#include "ctl/ExitStatus.h"
#include "journal/History.h"
#include "mirror/MirrorTexts.h"
#include "support/WaitUntil.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>
#include <optional>

namespace zr::mirror::test {
namespace {

using zr::test::CtlOutcome;
using zr::test::PgCluster;

// The records of a JSON output: an array, or the one object sync writes.
QJsonValue json(const QByteArray& out) {
    const QJsonDocument document = QJsonDocument::fromJson(out);
    return document.isObject() ? QJsonValue(document.object()) : QJsonValue(document.array());
}

// zr6040ctl with these arguments on the journal at `journal` and the server at `connection`.
CtlOutcome runCtl(const QStringList& arguments, const QString& journal, const QString& connection) {
    return zr::test::runCtl(arguments,
                            {.locale = QLocale(QLocale::Russian, QLocale::Russia),
                             .defaultJournalFile = journal,
                             .server = {ServerSetting{connection, QStringLiteral("test")},
                                        [] { return std::make_unique<PqServerLink>(); }}});
}

class CtlServerTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NO_THROW(cluster.emplace(PgCluster::Options{})); }
    std::optional<PgCluster> cluster;
};

// sync --status reaches the server and counts, sending nothing; sync sends and ends; both
// write the window's status line; with the server away the rows stay and the status says so.
TEST_F(CtlServerTest, SyncSendsWhatWaitsAndTellsHowItStands) {
    Pc pc;
    pc.write(5);
    const QString connection = cluster->connection();

    CtlOutcome checked =
        runCtl({QStringLiteral("sync"), QStringLiteral("--status"), QStringLiteral("--json")},
               pc.journalPath(), connection);
    EXPECT_EQ(checked.status, ctl::kDone) << checked.err.toStdString();
    const QJsonObject status = json(checked.out).toObject();
    EXPECT_EQ(status.value(QLatin1String("state")).toString(), QStringLiteral("reached"));
    EXPECT_EQ(status.value(QLatin1String("waiting_rows")).toInt(), 5);
    EXPECT_TRUE(serverRows(*cluster).isEmpty());

    CtlOutcome sent = runCtl({QStringLiteral("sync")}, pc.journalPath(), connection);
    EXPECT_EQ(sent.status, ctl::kDone) << sent.err.toStdString();
    MirrorStatus reached{
        MirrorStatus::State::Reached, status.value(QLatin1String("server")).toString(), {}, 0};
    EXPECT_TRUE(sent.out.contains(statusLine(reached).toUtf8())) << sent.out.toStdString();
    EXPECT_EQ(serverRows(*cluster), journalRows({&pc}));

    cluster->stop();
    pc.write(2);
    CtlOutcome away =
        runCtl({QStringLiteral("sync"), QStringLiteral("--status"), QStringLiteral("--csv")},
               pc.journalPath(), connection);
    EXPECT_EQ(away.status, ctl::kError);
    EXPECT_TRUE(away.out.contains(",unreachable,2,")) << away.out.toStdString();
    EXPECT_FALSE(away.err.isEmpty());
}

// journal --server gives every PC's rows with the fields and filters journal gives each PC's
// own journal file.
TEST_F(CtlServerTest, JournalFromTheServerIsEveryPcsJournal) {
    Pc first;
    Pc second;
    first.startMirror(cluster->connection());
    second.startMirror(cluster->connection());
    first.write(4);
    second.write(3);
    first.rig->deleteRow(2);
    WAIT_UNTIL_EQ(serverRows(*cluster), journalRows({&first, &second}), 30000);

    // A bound between two rows' last changes.
    journal::History history(first.journalPath(), 2000);
    history.select({}, {});
    journal::HistoryRow row;
    for (int i = 0; i < 2; ++i) {
        ASSERT_TRUE(history.next(row));
    }
    const QString middle = row.changed.toLocalTime().toString(Qt::ISODateWithMs);

    const auto records = [](const QByteArray& json) {
        QStringList each;
        for (const QJsonValue& record : QJsonDocument::fromJson(json).array()) {
            each << QString::fromUtf8(QJsonDocument(record.toObject()).toJson());
        }
        each.sort();
        return each;
    };
    for (const QStringList& filter : {QStringList{}, QStringList{QStringLiteral("--since"), middle},
                                      QStringList{QStringLiteral("--until"), middle}}) {
        const QStringList arguments =
            QStringList{QStringLiteral("journal"), QStringLiteral("--json")} + filter;
        const CtlOutcome fromServer =
            runCtl(arguments + QStringList{QStringLiteral("--server")}, {}, cluster->connection());
        ASSERT_EQ(fromServer.status, ctl::kDone) << fromServer.err.toStdString();
        QByteArray local = "[";
        for (const Pc* pc : {&first, &second}) {
            const CtlOutcome own = runCtl(arguments + QStringList{pc->journalPath()}, {}, {});
            ASSERT_EQ(own.status, ctl::kDone);
            for (const QJsonValue& record : QJsonDocument::fromJson(own.out).array()) {
                local += (local.size() > 1 ? "," : "") +
                         QJsonDocument(record.toObject()).toJson(QJsonDocument::Compact);
            }
        }
        const QStringList expected = records(local + "]");
        EXPECT_FALSE(expected.isEmpty());
        EXPECT_EQ(records(fromServer.out), expected) << filter.join(QLatin1Char(' ')).toStdString();
    }
}

// qc --server charts every PC's rows: of one PC it gives what qc gives of that PC's journal file,
// deleted rows left out, with the same filters; of two, the points of both.
TEST_F(CtlServerTest, QcFromTheServerChartsEveryPcsRows) {
    Pc first;
    Pc second;
    first.startMirror(cluster->connection());
    first.write(6);
    first.rig->deleteRow(2);
    WAIT_UNTIL_EQ(serverRows(*cluster), journalRows({&first}), 30000);

    // The rows are numbered 1 to 6, and number 2 is deleted.
    for (const QStringList& filter :
         {QStringList{}, QStringList{QStringLiteral("--number"), QStringLiteral("2")},
          QStringList{QStringLiteral("--number"), QStringLiteral("4")}}) {
        const QStringList arguments =
            QStringList{QStringLiteral("qc"), QStringLiteral("--json"),
                        QStringLiteral("--baseline"), QStringLiteral("3")} +
            filter;
        const CtlOutcome own = runCtl(arguments + QStringList{first.journalPath()}, {}, {});
        const CtlOutcome fromServer =
            runCtl(arguments + QStringList{QStringLiteral("--server")}, {}, cluster->connection());
        EXPECT_EQ(fromServer.status, own.status) << fromServer.err.toStdString();
        EXPECT_EQ(fromServer.out, own.out) << filter.join(QLatin1Char(' ')).toStdString();
        EXPECT_EQ(fromServer.err, own.err);
    }

    second.startMirror(cluster->connection());
    second.write(4);
    WAIT_UNTIL_EQ(serverRows(*cluster), journalRows({&first, &second}), 30000);
    const auto points = [](const CtlOutcome& outcome) {
        return QJsonDocument::fromJson(outcome.out)
            .array()
            .at(0)
            .toObject()
            .value(QLatin1String("points"))
            .toInt();
    };
    const QStringList qc{QStringLiteral("qc"), QStringLiteral("--json")};
    const CtlOutcome all =
        runCtl(qc + QStringList{QStringLiteral("--server")}, {}, cluster->connection());
    ASSERT_EQ(all.status, ctl::kDone) << all.err.toStdString();
    EXPECT_EQ(points(all), points(runCtl(qc + QStringList{first.journalPath()}, {}, {})) +
                               points(runCtl(qc + QStringList{second.journalPath()}, {}, {})));
    EXPECT_EQ(points(all), 9);
}

} // namespace
} // namespace zr::mirror::test
