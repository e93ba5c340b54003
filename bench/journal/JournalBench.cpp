// The measurement table's journal with the real table model, table logic and grid view (shown
// offscreen, repaints included): writing a row with and without the journal (and without the
// view, the journal's own cost), copying ten stored values into the table, starting with an empty
// journal and with 100 000 rows of history (the table alone and the whole program), and restoring a
// 10 000-row table.
#include "device/connection/ControllerContext.h"
#include "device/protocol/CommandSender.h"
#include "journal/TableJournal.h"
#include "records/MeasurementTable.h"
#include "records/MeasurementTableModel.h"
#include "records/SelectionLists.h"
#include "records/StoredValues.h"
#include "records/StoredValuesModel.h"
#include "support/BenchSupport.h"
#include "ui/StringGrid.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

using zr::journal::ProcessIdentity;
using zr::journal::TableJournal;

class AbsentMeter : public zr::protocol::MeterPort {
public:
    bool connected() const override { return false; }
    std::size_t outputReportLength() override { return 65; }
    zr::protocol::WriteOutcome write(const std::uint8_t*, std::size_t length) override {
        return {false, length, 0};
    }
};

ProcessIdentity endedProcess(int n) {
    return {n, QStringLiteral("another boot"), QString::number(n)};
}

void settle() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

// The measurement table as the table page has it: model, logic and the grid shown.
struct Table {
    Table() {
        for (int list = 1; list <= zr::records::SelectionLists::kLists; ++list) {
            lists.list(list).select(0);
        }
        view.resize(655, 338);
        view.show();
        settle();
    }
    void journal(const QString& path, ProcessIdentity identity = ProcessIdentity::current()) {
        kept = std::make_unique<TableJournal>(model, messages, path,
                                              TableJournal::Options{2000, std::move(identity), {}});
    }

    zr::connection::SharedState state;
    AbsentMeter meter;
    zr::protocol::CommandSender commands{meter, [](const std::string&) {}, [] {}};
    zr::bench::SilentMessages messages;
    zr::connection::ControllerContext context{state, commands, messages};
    QTemporaryDir listsDir;
    zr::records::SelectionLists lists{context, listsDir.path(),
                                      zr::records::SelectionLists::Input{}};
    zr::records::MeasurementTableModel model;
    zr::ui::StringGrid view{model};
    zr::records::MeasurementTable table{
        model, lists,
        [] {
            return zr::records::MeasurementTable::LiveReading{1, 92.3, zr::common::kOneDecimal};
        },
        zr::records::MeasurementTable::Commands{}};
    zr::records::StoredValuesModel storedRows;
    zr::common::OneShotTimer storedValuesTimer{1500};
    zr::records::StoredValues stored{context, storedRows, storedValuesTimer, table};
    std::unique_ptr<TableJournal> kept;
};

// Adds `sessions` sessions of `rows` written rows each to the journal at `path`; closed ones
// or, with closed = false, left as a crashed run leaves them.
void addHistory(const QString& path, int sessions, int rows, bool closed) {
    {
        Table table;
        table.journal(path, endedProcess(1));
        table.kept->closeSession();
    }
    QStringList cells;
    for (const char* text : {"17", "АИ-92", "P 1", "ЛУКОЙЛ", "Исследовательский метод", "92,3",
                             "07.12.2026 12:00:00"}) {
        cells << QString::fromUtf8(text);
    }
    const zr::journal::TableRow row =
        zr::journal::rowFromTexts(cells, QDateTime::currentDateTimeUtc());
    zr::journal::Journal journal(path, 2000);
    journal.begin();
    for (int s = 0; s < sessions; ++s) {
        const qint64 session = journal.startSession(endedProcess(1));
        // The last one is the empty entry row.
        journal.insertRows(session, 0, rows + 1);
        for (int r = 0; r < rows; ++r) {
            journal.setRow(session, r, row, QString());
        }
        if (closed) {
            journal.closeSession(session);
        }
    }
    journal.commit();
}

// The table of `rows` written rows, with range(0) = 1 kept in the journal in a temporary
// directory, = 2 in the journal in memory (/dev/shm: the cost without the disk's flush).
struct JournalledTable : Table {
    JournalledTable(const benchmark::State& benchmark, int rows)
        : dir(benchmark.range(0) == 2
                  ? QStringLiteral("/dev/shm/bench_journal-XXXXXX")
                  : QDir::tempPath() + QStringLiteral("/bench_journal-XXXXXX")) {
        if (benchmark.range(0) != 0) {
            journal(dir.filePath(QStringLiteral("journal.sqlite")));
        }
        for (int i = 0; i < rows; ++i) {
            table.writeLiveValue();
        }
        settle();
    }
    QTemporaryDir dir;
};

// "Записать значение" into a table of 100 rows, the repaint included, with the journal as
// range(0) says; the row is taken out again outside the measurement.
void BM_WriteRow(benchmark::State& state) {
    JournalledTable t(state, 100);
    for (auto _ : state) {
        t.table.writeLiveValue();
        settle();
        state.PauseTiming();
        t.model.removeRowAt(100);
        settle();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_WriteRow)->Arg(0)->Arg(1)->Arg(2)->ArgName("journal")->Unit(benchmark::kMicrosecond);

// The same without the view: what the journal itself costs a written row, against the table
// logic alone (range(0) as above).
void BM_WriteRowWithoutView(benchmark::State& state) {
    JournalledTable t(state, 0);
    t.view.hide();
    for (auto _ : state) {
        t.table.writeLiveValue();
        state.PauseTiming();
        t.model.removeRowAt(0);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_WriteRowWithoutView)
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->ArgName("journal")
    ->Unit(benchmark::kMicrosecond);

// "Перенести все в таблицу" with ten stored values into a table of 100 rows, the repaint
// included, with the journal as for BM_WriteRow; the rows are taken out again outside the
// measurement.
void BM_CopyTenStoredValues(benchmark::State& state) {
    JournalledTable t(state, 100);
    for (int slot = 1; slot <= 10; ++slot) {
        t.storedRows.setRow(slot - 1, zr::protocol::StoredValueRecord{
                                          static_cast<std::uint8_t>(slot), 1, 92.3F, 0});
    }
    t.state.status.dataCount = 10;
    settle();
    for (auto _ : state) {
        t.stored.copyStoredValuesToTable();
        settle();
        state.PauseTiming();
        t.model.removeRows(100, 10);
        settle();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_CopyTenStoredValues)
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->ArgName("journal")
    ->Unit(benchmark::kMicrosecond);

// The table at start-up, shown, with its journal opened on range(0) rows of history in closed
// sessions of 1 000 rows.
void BM_StartWithHistory(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("journal.sqlite"));
    const int rows = static_cast<int>(state.range(0));
    addHistory(path, rows / 1000, 1000, true);
    for (auto _ : state) {
        Table t;
        t.journal(path, endedProcess(2));
        t.kept->closeSession();
        settle();
    }
}
BENCHMARK(BM_StartWithHistory)
    ->Arg(0)
    ->Arg(100000)
    ->ArgName("history_rows")
    ->Unit(benchmark::kMillisecond);

// The whole program started on a data directory whose journal holds range(0) rows of history,
// to its window shown, and closed normally.
void BM_ProgramStartWithHistory(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QString::fromLatin1(zr::journal::kJournalFileName));
    const int rows = static_cast<int>(state.range(0));
    addHistory(path, rows / 1000, 1000, true);
    for (auto _ : state) {
        zr::hid::SimulatedHidBus bus;
        zr::bench::SilentMessages messages;
        zr::app::Program program(zr::app::ProgramContext{messages, bus, dir.path(),
                                                         [](const QString&) { return true; }});
        program.mainWindow().show();
        settle();
        program.mainWindow().close();
    }
}
BENCHMARK(BM_ProgramStartWithHistory)
    ->Arg(0)
    ->Arg(100000)
    ->ArgName("history_rows")
    ->Unit(benchmark::kMillisecond);

// The start that restores a crashed run's 10 000 rows into the shown table.
void BM_Restore10000Rows(benchmark::State& state) {
    QTemporaryDir dir;
    const QString prepared = dir.filePath(QStringLiteral("prepared.sqlite"));
    addHistory(prepared, 1, 10000, false);
    const QString path = dir.filePath(QStringLiteral("journal.sqlite"));
    int run = 0;
    for (auto _ : state) {
        state.PauseTiming();
        QFile::remove(path);
        QFile::copy(prepared, path);
        Table t;
        state.ResumeTiming();
        t.journal(path, endedProcess(++run + 2));
        settle();
        if (t.kept->restoredRows() != 10000) {
            state.SkipWithError("the table was not restored");
            break;
        }
    }
}
BENCHMARK(BM_Restore10000Rows)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    return zr::bench::runQtBenchmarks(argc, argv);
}
