// The measurement table and the stored values in the real main window (offscreen, shown), with
// the meter simulator on the simulated bus: writing a row into short and long tables, deleting
// the first of 10 000 rows, copying ten stored values, the 102-command erasure, and loading a
// 10 MB selection-list file. CPU times are the main thread's only.
#include "app/Program.h"
#include "app/ServicePage.h"
#include "device/connection/ControllerContext.h"
#include "device/hid/simulated/SimulatedHidBus.h"
#include "device/protocol/CommandSender.h"
#include "records/MeasurementTable.h"
#include "records/SelectionLists.h"
#include "records/views/TablePage.h"
#include "sim/SimulatedMeter.h"
#include "support/BenchSupport.h"
#include "ui/KeyPreviewApplication.h"
#include "ui/StringGrid.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

struct Rig : zr::bench::ProgramRig {
    Rig() {
        // Let the start-up timers pass so that nothing else runs during the measurements.
        session().storedValuesTimer().disable();
        session().calibrationListTimer().disable();
    }
    zr::ui::StringGrid& grid(const char* name) {
        return *window().findChild<zr::ui::StringGrid*>(QString::fromLatin1(name));
    }
    void run(const char* handler, int argument = 0) {
        window().invokeHandler(QString::fromLatin1(handler), argument);
    }
    // A table of `rows` written rows and its entry row.
    void makeTable(int rows) {
        zr::records::MeasurementTableModel& table = session().measurementGrid();
        table.setRowCount(0);
        zr::records::MeasurementRow row;
        row.grade = QStringLiteral("АИ-92");
        row.tank = QStringLiteral("P 1");
        row.supplier = QStringLiteral("ЛУКОЙЛ");
        row.method = 1;
        row.valueDecimals = zr::common::kOneDecimal;
        row.moment = QDateTime(QDate(2026, 12, 7), QTime(10, 15)).toUTC();
        for (int r = 1; r <= rows; ++r) {
            row.number = QString::number(r);
            row.value = 80 + r % 200 / 10.0;
            table.appendRow(row);
        }
        table.appendRow({});
        settle();
    }
    // Twice: the repaint a change asks for is itself posted while the first pass runs, and
    // it must not be left for the next measured step to pay.
    static void settle() {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
};

// Made on first use and destroyed before the application object.
std::unique_ptr<Rig> theRig;
Rig& rig() {
    if (!theRig) {
        theRig = std::make_unique<Rig>();
    }
    return *theRig;
}

// "Записать значение" into a table of state.range(0) rows; the row is taken out again outside
// the measurement. With range(1) = 1 the events that follow (the grid's repaint) are included.
void BM_WriteRow(benchmark::State& state) {
    Rig& r = rig();
    const int rows = static_cast<int>(state.range(0));
    const bool withEvents = state.range(1) != 0;
    r.makeTable(rows);
    zr::ui::StringGrid& table = r.grid("StringGrid3");
    for (auto _ : state) {
        r.run("runHeaderCommand", 0);
        if (withEvents) {
            Rig::settle();
        }
        state.PauseTiming();
        table.removeRow(rows + 1);
        Rig::settle();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_WriteRow)
    ->ArgsProduct({{10, 100, 10000}, {0, 1}})
    ->ArgNames({"rows", "events"})
    ->Unit(benchmark::kMicrosecond);

// "Удалить значение" on row 1 of 10 000 rows; a row is put back outside the measurement.
void BM_DeleteFirstRowOf10000(benchmark::State& state) {
    Rig& r = rig();
    r.makeTable(9999);
    zr::ui::StringGrid& table = r.grid("StringGrid3");
    for (auto _ : state) {
        state.PauseTiming();
        table.setCurrentGridRow(1);
        Rig::settle();
        state.ResumeTiming();
        r.run("runHeaderCommand", 1);
        Rig::settle();
        state.PauseTiming();
        table.setRowCountWithHeader(table.rowCountWithHeader() + 1);
        Rig::settle();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_DeleteFirstRowOf10000)->Unit(benchmark::kMillisecond);

// "Перенести все в таблицу" with ten stored values, into a short table.
void BM_CopyTenStoredValues(benchmark::State& state) {
    Rig& r = rig();
    zr::records::StoredValuesModel& stored = r.session().storedValuesGrid();
    for (int row = 1; row <= 10; ++row) {
        stored.setRow(row - 1,
                      zr::protocol::StoredValueRecord{static_cast<std::uint8_t>(row), 1, 92.3F, 0});
    }
    r.session().state().status.dataCount = 10;
    for (auto _ : state) {
        state.PauseTiming();
        r.makeTable(0);
        state.ResumeTiming();
        r.run("copyStoredValuesToTable");
        Rig::settle();
    }
}
BENCHMARK(BM_CopyTenStoredValues)->Unit(benchmark::kMillisecond);

// "Удалить все" on the simulated bus: 102 write byte commands with their log lines and the
// status bar painted at once. The simulator's status thread is not running.
void BM_EraseAllStoredValues(benchmark::State& state) {
    Rig& r = rig();
    for (auto _ : state) {
        r.run("eraseStoredValues");
        state.PauseTiming();
        Rig::settle();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_EraseAllStoredValues)->Unit(benchmark::kMillisecond);

// loadSelectionLists with a 10 MB "s1.okt" of a million items, shown in the combo boxes.
void BM_LoadTenMegabyteListFile(benchmark::State& state) {
    QTemporaryDir dir;
    {
        QFile file(dir.filePath(QStringLiteral("s1.okt")));
        if (!file.open(QIODevice::WriteOnly)) {
            state.SkipWithError("cannot write the list file");
            return;
        }
        QByteArray bytes;
        for (int i = 0; i < 1000000; ++i) {
            bytes += QByteArray::number(1000000 + i) + "\r\n";
        }
        bytes += "\xC4\xEE\xE1\xE0\xE2\xE8\xF2\xFC...\r\n";
        file.write(bytes);
        state.counters["file_bytes"] = static_cast<double>(bytes.size());
    }
    Rig& r = rig();
    zr::bench::SilentMessages messages;
    zr::connection::ControllerContext context{r.session().state(), r.session().commands(),
                                              messages};
    zr::records::SelectionLists lists(context, dir.path(), zr::records::SelectionLists::Input{});
    zr::records::MeasurementTableModel rows;
    zr::records::TablePage page(rows);
    page.bindLists(lists);
    page.show();
    for (auto _ : state) {
        lists.loadSelectionLists();
        Rig::settle();
    }
    state.counters["items"] = lists.list(1).count();
}
BENCHMARK(BM_LoadTenMegabyteListFile)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char** argv) {
    return zr::bench::runQtBenchmarks(argc, argv, [] { theRig.reset(); });
}
