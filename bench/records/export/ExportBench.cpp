// The export and the print of the measurement table's rows, with the real file writer, workbook
// writer and print preview (offscreen).
#include "common/FileAccess.h"
#include "common/MessageService.h"
#include "device/connection/ControllerContext.h"
#include "records/BusyCursor.h"
#include "records/Export.h"
#include "records/PrintReport.h"
#include "records/SaveDialogPort.h"
#include "records/views/TablePrintPreview.h"
#include "records/xlsx/TableWorkbook.h"
#include "support/BenchSupport.h"
#include "ui/KeyPreviewApplication.h"
#include "ui/StringGrid.h"

#include <QElapsedTimer>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <benchmark/benchmark.h>

namespace {

using namespace zr;

// An error box here means the benchmark measured a failure.
class FatalErrors : public common::MessageService {
public:
    void inform(const QString&) override {}
    void showError(const QString& text) override { qFatal("%s", qPrintable(text)); }
    bool confirm(const QString&) override { return true; }
};

class NoMeter : public protocol::MeterPort {
public:
    bool connected() const override { return false; }
    std::size_t outputReportLength() override { return 65; }
    protocol::WriteOutcome write(const std::uint8_t*, std::size_t) override { return {}; }
};

class NoDialog : public records::SaveDialogPort {
public:
    std::optional<records::SaveChoice> execute() override { return std::nullopt; }
};

class NoCursor : public records::BusyCursor {
public:
    void show() override {}
    void restore() override {}
};

struct Rig {
    explicit Rig(int rows) {
        table.setRowCount(0);
        for (int row = 1; row <= rows; ++row) {
            records::MeasurementRow written;
            written.number = QString::number(row);
            written.grade = QStringLiteral("АИ-%1").arg(90 + row % 9);
            written.tank = QStringLiteral("P %1").arg(row % 4 + 1);
            written.supplier = QStringLiteral("ТУАПСЕНЕФТЕПРОДУКТ");
            written.method = 1;
            written.value = 80 + row % 20 + row % 10 / 10.0;
            written.valueDecimals = common::kOneDecimal;
            written.moment = QDateTime(QDate(2026, 12, 7), QTime(10, row % 60)).toUTC();
            table.appendRow(written);
        }
        table.appendRow({});
    }
    connection::ControllerContext context() { return {state, commands, messages}; }

    records::MeasurementTableModel table;
    records::StoredValuesModel storedValues;
    NoMeter port;
    connection::SharedState state;
    protocol::CommandSender commands{port, [](const std::string&) {}, [] {}};
    FatalErrors messages;
    NoDialog dialog;
    NoCursor cursor;
    QTemporaryDir dir;
};

records::Export makeExport(Rig& rig) {
    common::FileAccess& files = common::systemFiles();
    return records::Export(records::Export::Ports{
        rig.table, rig.storedValues, rig.dialog, records::xlsxWorkbookWriter(), files, rig.cursor});
}

void BM_TextExport(benchmark::State& state) {
    Rig rig(static_cast<int>(state.range(0)));
    records::Export exporter = makeExport(rig);
    const QString path = rig.dir.filePath(QStringLiteral("table.txt"));
    for (auto _ : state) {
        exporter.exportTextFile(records::tableText(rig.table.rows()), path);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_TextExport)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_WorkbookExport(benchmark::State& state) {
    Rig rig(static_cast<int>(state.range(0)));
    records::Export exporter = makeExport(rig);
    const QString path = rig.dir.filePath(QStringLiteral("table.xls"));
    for (auto _ : state) {
        exporter.exportTableToWorkbook(path);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_WorkbookExport)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

// From the print command to the preview shown with its pages painted.
void BM_PrintToPreview(benchmark::State& state) {
    Rig rig(static_cast<int>(state.range(0)));
    QWidget window;
    records::TablePrintPreview preview(&window);
    records::PrintReport report(
        rig.context(),
        records::PrintReport::Ports{rig.table, preview, common::systemFiles(), rig.dir.path()});
    QElapsedTimer clock;
    double shownAfter = -1;
    int pages = 0;
    QObject::connect(&preview, &records::TablePrintPreview::opening, &preview,
                     [&](QPrintPreviewDialog* dialog) {
                         QTimer::singleShot(0, dialog, [&, dialog] {
                             QCoreApplication::sendPostedEvents();
                             shownAfter = static_cast<double>(clock.nsecsElapsed()) / 1e9;
                             pages = dialog->findChild<QPrintPreviewWidget*>()->pageCount();
                             dialog->reject();
                         });
                     });
    for (auto _ : state) {
        shownAfter = -1;
        clock.start();
        // Returns once the preview has been shown and closed.
        report.printTable();
        state.SetIterationTime(shownAfter);
    }
    state.counters["pages"] = pages;
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_PrintToPreview)->Arg(1000)->Arg(10000)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    return zr::bench::runQtBenchmarks(argc, argv);
}
