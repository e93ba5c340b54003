// The mirror against a real PostgreSQL server of the test's own. In every case each written row
// ends up on the server once, in its session and order, with its last state, or, where the
// server is not to be written, stays waiting in the journal.
#include "MirrorRig.h"
#include "journal/JournalTexts.h"
#include "mirror/JournalChanges.h"
#include "mirror/MirrorTexts.h"
#include "mirror/ServerSchema.h"
#include "support/WaitUntil.h"

#include <QFile>
#include <QTimer>
#include <gtest/gtest.h>
#include <optional>

namespace zr::mirror::test {
namespace {

using zr::test::ClusterError;
using zr::test::PgCluster;
using State = MirrorStatus::State;

constexpr int kArriveMs = 20000;

class MirrorServerTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NO_THROW(cluster.emplace(PgCluster::Options{})); }

    // The schema made by the database's owner, as the program makes it.
    void makeSchema() {
        cluster->execute(QString::fromUtf8(prepareSchemaSql()),
                         QString::fromLatin1(PgCluster::kOwner));
    }
    // The roles the user guide documents, given to one login role each.
    void makeDocumentedRoles() {
        QFile roles(QStringLiteral(ZR_SERVER_ROLES_SQL));
        ASSERT_TRUE(roles.open(QIODevice::ReadOnly));
        makeSchema();
        cluster->execute(QString::fromUtf8(roles.readAll()));
        cluster->addRole(QStringLiteral("station"), QStringLiteral("IN ROLE zr6040_sender"));
        cluster->addRole(QStringLiteral("lims"), QStringLiteral("IN ROLE zr6040_reader"));
    }
    // The one outage message, whichever failure came first.
    static void expectOutageToldOnce(const Pc& pc) {
        const QString pattern = QRegularExpression::escape(QString::fromUtf8(kOutageText))
                                    .replace(QStringLiteral("\\%1"),
                                             QRegularExpression::escape(pc.mirror->status().server))
                                    .replace(QStringLiteral("\\%2"), QStringLiteral(".+"));
        ASSERT_EQ(pc.informed().size(), 1) << pc.informed().join(QLatin1Char('\n')).toStdString();
        EXPECT_TRUE(QRegularExpression(QRegularExpression::anchoredPattern(pattern))
                        .match(pc.informed().constFirst())
                        .hasMatch())
            << pc.informed().constFirst().toStdString();
    }

    std::optional<PgCluster> cluster;
};

// Rows go as they are written; a deletion is marked; a crashed run's table, restored by the
// next run in one transaction larger than a batch, moves to the new session there too.
TEST_F(MirrorServerTest, RowsGoAsWrittenDeletionsAndRestoresFollow) {
    Pc pc(journal::test::endedProcess(1));
    pc.startMirror(cluster->connection());
    WAIT_UNTIL_EQ(pc.state(), State::Reached, kArriveMs);
    pc.write(30);
    WAIT_UNTIL_EQ(serverRows(*cluster), journalRows({&pc}), kArriveMs);
    pc.rig->deleteRow(2);
    WAIT_UNTIL_EQ(serverRows(*cluster), journalRows({&pc}), kArriveMs);

    pc.run(journal::test::endedProcess(2));
    ASSERT_EQ(pc.rig->journal->restoredRows(), 29);
    pc.startMirror(cluster->connection());
    WAIT_UNTIL_EQ(serverRows(*cluster), journalRows({&pc}), kArriveMs);
    EXPECT_EQ(cluster->query(QStringLiteral("SELECT count(DISTINCT session) FROM "
                                            "zr6040.measurement_row WHERE deleted IS NULL")),
              QList<QStringList>{{QStringLiteral("1")}});
    WAIT_UNTIL_EQ(pc.mirror->status().waitingRows, 0, kArriveMs);
    EXPECT_EQ(pc.informed(), QStringList{QString::fromUtf8(journal::kRowsRestoredText).arg(29)});
    EXPECT_TRUE(pc.errors().isEmpty());
}

// The window and zr6040ctl sync may send the same journal at once: a batch read before a
// deletion and committed after the other sender's may not bring the row back.
TEST_F(MirrorServerTest, ALateBatchOfAnEarlierStateChangesNothing) {
    Pc pc;
    pc.write(3);
    ChangeBatch early = JournalChanges(pc.journalPath(), 2000).after(0, 100);
    pc.rig->deleteRow(1);
    pc.startMirror(cluster->connection());
    WAIT_UNTIL_EQ(serverRows(*cluster), journalRows({&pc}), kArriveMs);

    PqServerLink late;
    std::optional<std::optional<ServerFailure>> opened;
    late.open(cluster->connection(),
              [&](std::optional<ServerFailure> failure) { opened = std::move(failure); });
    WAIT_UNTIL(opened.has_value(), kArriveMs);
    ASSERT_FALSE(*opened) << (*opened)->text.toStdString();
    std::optional<ServerResult> sent;
    late.execute({upsertSql(), {early.sessions, early.rows}, {}},
                 [&](ServerResult result) { sent = std::move(result); });
    WAIT_UNTIL(sent.has_value(), kArriveMs);
    ASSERT_FALSE(sent->failure) << sent->failure->text.toStdString();
    EXPECT_EQ(serverRows(*cluster), journalRows({&pc}));
}

enum class Outage { AbsentAtStart, StoppedForAWhile, KilledWhileSending };

class MirrorOutageTest : public MirrorServerTest, public ::testing::WithParamInterface<Outage> {};

// Rows written while the server is away wait in the journal and go once it is back; the
// outage is told once, however many rows and attempts it lasts.
TEST_P(MirrorOutageTest, RowsWaitAndArriveOnceWhenTheServerIsBack) {
    Pc pc;
    switch (GetParam()) {
    case Outage::AbsentAtStart:
        cluster->stop();
        pc.startMirror(cluster->connection());
        pc.write(5);
        break;
    case Outage::StoppedForAWhile:
        pc.startMirror(cluster->connection());
        pc.write(3);
        WAIT_UNTIL_EQ(serverRows(*cluster), journalRows({&pc}), kArriveMs);
        cluster->stop();
        pc.write(4);
        pc.rig->deleteRow(1);
        break;
    case Outage::KilledWhileSending: {
        pc.write(300);
        JournalMirror& mirror = pc.startMirror(cluster->connection());
        // Killed as the next batch goes, once the server has committed the first.
        bool killed = false;
        std::optional<std::string> killFailure;
        // Let go at the end of this block, whose variables it reads.
        const QMetaObject::Connection watching = QObject::connect(
            &mirror, &JournalMirror::statusChanged, &mirror, [&](const MirrorStatus& status) {
                if (killed || status.state != State::Reached || status.waitingRows == 0) {
                    return;
                }
                killed = true;
                QTimer::singleShot(0, &mirror, [&] {
                    try {
                        cluster->kill();
                    } catch (const ClusterError& error) {
                        killFailure = error.what();
                    }
                });
            });
        WAIT_UNTIL(killed, kArriveMs);
        WAIT_PAST_POSTED_EVENTS();
        QObject::disconnect(watching);
        ASSERT_FALSE(killFailure) << *killFailure;
        break;
    }
    }
    WAIT_UNTIL_EQ(pc.state(), State::Unreachable, kArriveMs);
    const int opens = pc.link->opens;
    pc.write(2);
    WAIT_UNTIL(pc.link->opens >= opens + 3, kArriveMs);
    EXPECT_GT(pc.mirror->status().waitingRows, 0);
    expectOutageToldOnce(pc);

    cluster->start();
    WAIT_UNTIL_EQ(serverRows(*cluster), journalRows({&pc}), kArriveMs);
    WAIT_UNTIL_EQ(pc.state(), State::Reached, kArriveMs);
    WAIT_UNTIL_EQ(pc.mirror->status().waitingRows, 0, kArriveMs);
    expectOutageToldOnce(pc);
}

INSTANTIATE_TEST_SUITE_P(Outages, MirrorOutageTest,
                         ::testing::Values(Outage::AbsentAtStart, Outage::StoppedForAWhile,
                                           Outage::KilledWhileSending));

// Two PCs reaching a server without the schema at once, then sending at once.
TEST_F(MirrorServerTest, TwoPcsSendingAtOnceEachArriveOnce) {
    Pc first;
    Pc second;
    first.startMirror(cluster->connection());
    second.startMirror(cluster->connection());
    for (int i = 0; i < 60; ++i) {
        first.write(1);
        second.write(1);
    }
    WAIT_UNTIL_EQ(serverRows(*cluster), journalRows({&first, &second}), kArriveMs);
    EXPECT_EQ(serverRows(*cluster).size(), 120);
    // Both made the schema at once without a failure.
    EXPECT_TRUE(first.informed().isEmpty());
    EXPECT_TRUE(second.informed().isEmpty());
}

enum class Refusal { WrongPassword, NoPermission };

class MirrorRefusalTest : public MirrorServerTest, public ::testing::WithParamInterface<Refusal> {};

// A login or a permission the server refuses: told once, nothing written, the rows kept.
TEST_P(MirrorRefusalTest, RowsStayInTheJournal) {
    QString connection;
    QString reason;
    if (GetParam() == Refusal::WrongPassword) {
        connection =
            cluster->connection() + QStringLiteral(" passfile=") + cluster->wrongPasswordFile();
        reason = QStringLiteral("password authentication failed");
    } else {
        makeDocumentedRoles();
        connection = cluster->connection(QStringLiteral("lims"));
        reason = QString::fromUtf8(kPermissionReason).arg(QString()).trimmed();
    }
    Pc pc;
    pc.write(5);
    pc.startMirror(connection);
    WAIT_UNTIL_EQ(pc.state(), State::Unreachable, kArriveMs);
    pc.write(2);
    const int opens = pc.link->opens;
    WAIT_UNTIL(pc.link->opens >= opens + 2, kArriveMs);
    WAIT_UNTIL_EQ(pc.mirror->status().waitingRows, 7, kArriveMs);
    EXPECT_TRUE(pc.mirror->status().reason.contains(reason))
        << pc.mirror->status().reason.toStdString();
    expectOutageToldOnce(pc);
    EXPECT_TRUE(serverRows(*cluster).isEmpty());
    EXPECT_EQ(journalRows({&pc}).size(), 7);
}

INSTANTIATE_TEST_SUITE_P(Refusals, MirrorRefusalTest,
                         ::testing::Values(Refusal::WrongPassword, Refusal::NoPermission));

// A PC's role may send rows and mark them deleted, but neither read, change nor delete them
// otherwise; the laboratory's role may only read.
TEST_F(MirrorServerTest, TheDocumentedRolesSendAndRead) {
    makeDocumentedRoles();
    Pc pc;
    pc.startMirror(cluster->connection(QStringLiteral("station")));
    pc.write(4);
    pc.rig->deleteRow(1);
    WAIT_UNTIL_EQ(serverRows(*cluster), journalRows({&pc}), kArriveMs);

    const QString station = QStringLiteral("station");
    const QString lims = QStringLiteral("lims");
    EXPECT_THROW(
        cluster->query(QStringLiteral("SELECT number FROM zr6040.measurement_row"), station),
        ClusterError);
    EXPECT_THROW(cluster->execute(QStringLiteral("DELETE FROM zr6040.measurement_row"), station),
                 ClusterError);
    EXPECT_THROW(cluster->execute(QStringLiteral("UPDATE zr6040.session SET host = ''"), station),
                 ClusterError);
    EXPECT_EQ(cluster->query(QStringLiteral("SELECT count(*) FROM zr6040.measurement_row"), lims),
              QList<QStringList>{{QStringLiteral("4")}});
    EXPECT_THROW(
        cluster->execute(QStringLiteral("UPDATE zr6040.measurement_row SET number = ''"), lims),
        ClusterError);
}

// A server whose schema a newer program made is left alone for the run: told once, no retry.
TEST_F(MirrorServerTest, ANewerServerSchemaIsLeftAlone) {
    makeSchema();
    cluster->execute(
        QStringLiteral("UPDATE zr6040.schema_info SET version = %1").arg(kServerSchemaVersion + 1));
    Pc pc;
    pc.write(3);
    pc.startMirror(cluster->connection());
    WAIT_UNTIL_EQ(pc.state(), State::Refused, kArriveMs);
    pc.write(1);
    WAIT_UNTIL_EQ(pc.mirror->status().waitingRows, 4, kArriveMs);
    WAIT_PAST_POSTED_EVENTS();
    EXPECT_EQ(pc.state(), State::Refused);
    EXPECT_EQ(pc.link->opens, 1);
    const QString reason = QString::fromUtf8(kNewerSchemaReason).arg(kServerSchemaVersion + 1);
    EXPECT_EQ(pc.errors(),
              QStringList{QString::fromUtf8(kRefusedText).arg(pc.mirror->status().server, reason)});
    EXPECT_TRUE(serverRows(*cluster).isEmpty());
}

// TLS with sslmode=require on a server that takes TCP connections only over TLS, its
// certificate made here; the host is a name to look up.
TEST_F(MirrorServerTest, RowsGoOverTls) {
    cluster.reset();
    ASSERT_NO_THROW(cluster.emplace(PgCluster::Options{true}));
    Pc pc;
    pc.startMirror(
        cluster->tcpConnection(QString::fromLatin1(PgCluster::kOwner), QStringLiteral("require")));
    pc.write(3);
    WAIT_UNTIL_EQ(serverRows(*cluster), journalRows({&pc}), kArriveMs);
    EXPECT_EQ(cluster->query(
                  QStringLiteral("SELECT ssl FROM pg_stat_ssl JOIN pg_stat_activity USING (pid) "
                                 "WHERE usename = 'zr_owner'")),
              QList<QStringList>{{QStringLiteral("t")}});
}

} // namespace
} // namespace zr::mirror::test
