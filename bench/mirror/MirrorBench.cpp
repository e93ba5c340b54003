// The journal's mirror against a PostgreSQL server of the benchmark's own (fsync on, as a real
// server runs): a backlog of 100 000 rows reaching it, a row written while it is up reaching
// it, the window's "Записать значение" with and without the mirror running beside it, and
// zr6040ctl qc over the server's rows against qc over the journal file.
#include "ctl/CtlRun.h"
#include "journal/JournalRig.h"
#include "journal/Schema.h"
#include "mirror/JournalMirror.h"
#include "mirror/PgCluster.h"
#include "mirror/pq/PqServerLink.h"
#include "support/BenchSupport.h"
#include "ui/StringGrid.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QUuid>
#include <benchmark/benchmark.h>
#include <memory>
#include <optional>
#include <sqlite3.h>

namespace {

using zr::journal::test::JournalRig;
using zr::mirror::JournalMirror;
using zr::mirror::MirrorStatus;
using zr::test::PgCluster;

PgCluster& cluster() {
    static PgCluster server(PgCluster::Options{false, true});
    return server;
}

std::unique_ptr<JournalMirror> mirrorOf(const QString& journal,
                                        zr::common::MessageService* messages = nullptr) {
    return std::make_unique<JournalMirror>(
        journal, zr::mirror::ServerSetting{cluster().connection(), QStringLiteral("bench")},
        std::make_unique<zr::mirror::PqServerLink>(), messages);
}

// Runs the event loop until `done` holds, sleeping while nothing happens: with a time limit
// processEvents() ignores WaitForMoreEvents and spins, taking the cores the server needs.
template <typename Done> void runUntil(Done done) {
    while (!done()) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
}

void emptyServer() {
    cluster().execute(
        QStringLiteral("DO $$ BEGIN IF to_regclass('zr6040.measurement_row') IS NOT NULL THEN "
                       "TRUNCATE zr6040.measurement_row, zr6040.session; END IF; END $$"));
}

// A journal whose `rows` written rows were each written in a transaction of their own, as the
// window writes them.
void writeBacklog(const QString& dataDir, int rows) {
    {
        JournalRig rig(dataDir);
        rig.writeRow(QStringLiteral("92,3"));
    }
    sqlite3* db = nullptr;
    const QByteArray path =
        QDir(dataDir).filePath(QString::fromLatin1(zr::journal::kJournalFileName)).toUtf8();
    sqlite3_open(path.constData(), &db);
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(
        db,
        "INSERT INTO measurement_row (uuid, session, position, number, grade, tank, supplier, "
        "method, value, value_decimals, moment, meter_serial, changed, revision) "
        "SELECT ?1, session, ?2, ?3, grade, tank, supplier, method, value, value_decimals, moment, "
        "'SN-0001', changed, ?4 FROM measurement_row WHERE moment IS NOT NULL LIMIT 1",
        -1, &insert, nullptr);
    sqlite3_stmt* revision = nullptr;
    sqlite3_prepare_v2(db, "SELECT max(revision) FROM measurement_row", -1, &revision, nullptr);
    sqlite3_step(revision);
    const sqlite3_int64 first = sqlite3_column_int64(revision, 0) + 1;
    sqlite3_finalize(revision);
    for (int r = 0; r < rows; ++r) {
        const QByteArray id = QUuid::createUuid().toByteArray(QUuid::WithoutBraces);
        const QByteArray number = QByteArray::number(r + 2);
        sqlite3_bind_text(insert, 1, id.constData(), static_cast<int>(id.size()), SQLITE_TRANSIENT);
        sqlite3_bind_int(insert, 2, r + 2);
        sqlite3_bind_text(insert, 3, number.constData(), static_cast<int>(number.size()),
                          SQLITE_TRANSIENT);
        sqlite3_bind_int64(insert, 4, first + r);
        sqlite3_step(insert);
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);
}

// A backlog of 100 000 rows (and the one the window wrote), from the mirror's start to the
// server having committed the last: aim 10 s at most.
void BM_Backlog(benchmark::State& state) {
    QTemporaryDir dir;
    writeBacklog(dir.path(), static_cast<int>(state.range(0)));
    const QString journal = dir.filePath(QString::fromLatin1(zr::journal::kJournalFileName));
    for (auto _ : state) {
        state.PauseTiming();
        emptyServer();
        sqlite3* db = nullptr;
        sqlite3_open(journal.toUtf8().constData(), &db);
        sqlite3_exec(db, "DELETE FROM mirror_state", nullptr, nullptr, nullptr);
        sqlite3_close(db);
        state.ResumeTiming();
        std::unique_ptr<JournalMirror> mirror = mirrorOf(journal);
        bool finished = false;
        QObject::connect(mirror.get(), &JournalMirror::finished, [&] { finished = true; });
        mirror->start(JournalMirror::Mode::SendOnce);
        runUntil([&] { return finished; });
        if (mirror->status().state != MirrorStatus::State::Reached) {
            state.SkipWithError(qPrintable(mirror->status().reason));
            break;
        }
    }
    state.SetItemsProcessed(state.iterations() * (state.range(0) + 1));
}
BENCHMARK(BM_Backlog)
    ->Arg(100000)
    ->ArgName("rows")
    ->Iterations(2)
    ->Unit(benchmark::kSecond)
    ->UseRealTime();

// A row written while the server is up, from "Записать значение" to the server holding it
// (looked for with a query on a connection of its own): aim 1 s at most.
void BM_RowReachesTheServer(benchmark::State& state) {
    emptyServer();
    QTemporaryDir dir;
    JournalRig rig(dir.path());
    std::unique_ptr<JournalMirror> mirror =
        mirrorOf(dir.filePath(QString::fromLatin1(zr::journal::kJournalFileName)), &rig.messages);
    QObject::connect(rig.journal.get(), &zr::journal::TableJournal::committed, mirror.get(),
                     &JournalMirror::journalChanged);
    mirror->start();
    runUntil([&] { return mirror->status().state == MirrorStatus::State::Reached; });
    int written = 0;
    const auto onServer = [] {
        return cluster()
            .query(QStringLiteral("SELECT count(*) FROM zr6040.measurement_row"))
            .value(0)
            .value(0)
            .toInt();
    };
    for (auto _ : state) {
        rig.writeRow(QStringLiteral("92,3"));
        ++written;
        while (onServer() != written) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
        }
    }
}
BENCHMARK(BM_RowReachesTheServer)->Unit(benchmark::kMillisecond)->UseRealTime();

// "Записать значение" into a table of 100 rows with its grid shown, the repaint included, the
// journal on disk, and with range(0) = 1 the mirror sending beside it to a server that is up.
// The row is taken out again outside the measurement.
void BM_WriteRow(benchmark::State& state) {
    emptyServer();
    QTemporaryDir dir;
    JournalRig rig(dir.path());
    zr::ui::StringGrid view(rig.model);
    view.resize(655, 338);
    view.show();
    std::unique_ptr<JournalMirror> mirror;
    if (state.range(0) != 0) {
        mirror = mirrorOf(dir.filePath(QString::fromLatin1(zr::journal::kJournalFileName)),
                          &rig.messages);
        QObject::connect(rig.journal.get(), &zr::journal::TableJournal::committed, mirror.get(),
                         &JournalMirror::journalChanged);
        mirror->start();
        runUntil([&] { return mirror->status().state == MirrorStatus::State::Reached; });
    }
    const auto settle = [] {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    };
    for (int i = 0; i < 100; ++i) {
        rig.writeRow(QStringLiteral("92,3"));
    }
    settle();
    for (auto _ : state) {
        rig.writeRow(QStringLiteral("92,3"));
        settle();
        state.PauseTiming();
        rig.model.removeRow(101);
        settle();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_WriteRow)->Arg(0)->Arg(1)->ArgName("mirror")->Unit(benchmark::kMicrosecond);

// The control charts of 100 000 rows: `qc --server` (range(0) = 1) reads them from the server
// into an in-memory journal and charts them there, `qc FILE` (0) charts the same rows in the
// journal file they were sent from. Output goes nowhere.
void BM_Qc(benchmark::State& state) {
    static const auto sent = [] {
        auto dir = std::make_unique<QTemporaryDir>();
        writeBacklog(dir->path(), 100000);
        emptyServer();
        std::unique_ptr<JournalMirror> mirror =
            mirrorOf(dir->filePath(QString::fromLatin1(zr::journal::kJournalFileName)));
        bool finished = false;
        QObject::connect(mirror.get(), &JournalMirror::finished, [&] { finished = true; });
        mirror->start(JournalMirror::Mode::SendOnce);
        runUntil([&] { return finished; });
        return dir;
    }();
    const bool fromServer = state.range(0) != 0;
    QStringList arguments{QStringLiteral("zr6040ctl"), QStringLiteral("qc"),
                          QStringLiteral("--json")};
    arguments << (fromServer ? QStringLiteral("--server")
                             : sent->filePath(QString::fromLatin1(zr::journal::kJournalFileName)));
    const zr::ctl::Invocation qc = zr::ctl::parseCommandLine(arguments).invocation;
    zr::test::FakeMeterLink noMeter;
    for (auto _ : state) {
        const zr::test::CtlOutcome outcome = zr::test::runCtl(
            qc, noMeter,
            {.server = {zr::mirror::ServerSetting{cluster().connection(), QStringLiteral("bench")},
                        [] { return std::make_unique<zr::mirror::PqServerLink>(); }}});
        if (outcome.status != 0) {
            state.SkipWithError(outcome.err.constData());
            break;
        }
    }
    state.SetItemsProcessed(state.iterations() * 100001);
}
BENCHMARK(BM_Qc)->Arg(0)->Arg(1)->ArgName("server")->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    return zr::bench::runQtBenchmarks(argc, argv);
}
