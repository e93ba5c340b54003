// The history window on a journal of a million rows: from opening to the first page shown, a
// change of the filter with the table repainted, and a frame of the control charts of 100 000
// points (repainted as it is, and at a new size, which reduces the series again).
#include "common/FileAccess.h"
#include "history/HistoryController.h"
#include "history/HistoryDatabase.h"
#include "history/views/ControlChartView.h"
#include "history/views/HistoryWindow.h"
#include "journal/Journal.h"
#include "journal/RowColumns.h"
#include "journal/Sqlite.h"
#include "records/xlsx/TableWorkbook.h"
#include "support/BenchSupport.h"

#include <QComboBox>
#include <QDir>
#include <QTableView>
#include <benchmark/benchmark.h>
#include <cmath>
#include <memory>

namespace {

using zr::history::HistoryController;
using zr::history::HistoryFilter;

constexpr int kRows = 1000000;
constexpr int kSessions = 400;

void settle() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

// A journal as years of a laboratory's work leave it: a million rows over 400 sessions, seven
// grades, four tanks, seven suppliers, three methods, a few rows deleted. Written once per run
// of the benchmark, in the program's own schema.
const QString& millionRowJournal() {
    static QTemporaryDir dir;
    static const QString path = [] {
        const QString file = QDir(dir.path()).filePath(QStringLiteral("journal.sqlite"));
        { zr::journal::Journal create(file, 2000); }
        zr::journal::Database db(file);
        db.execute("PRAGMA synchronous = OFF; BEGIN");
        zr::journal::Statement session(
            db.handle(), "INSERT INTO session (id, uuid, host, started, closed, process, boot, "
                         "process_started, revision) VALUES (?1, ?1, 'lab', ?2, ?2, 1, '', '', 1)");
        zr::journal::Statement row(
            db.handle(), QByteArray("INSERT INTO measurement_row (uuid, session, position, "
                                    "meter_serial, changed, deleted, revision, ")
                             .append(zr::journal::kRowColumns)
                             .append(") VALUES (?1, ?2, ?3, 'SN', ?4, ?5, 1, ?6, ?7, ?8, ?9, ?10, "
                                     "?11, ?12, ?13, NULL, NULL, NULL)")
                             .constData());
        const QStringList grades{"A-76", "A-80", "АИ-92", "АИ-93", "АИ-95", "АИ-96", "АИ-98"};
        const QStringList suppliers{
            "ЛУКОЙЛ",           "PОСНЕФТЬ",          "ЮКОС", "БАШНЕФТЬ", "СИБНЕФТЬ",
            "АСТРАХАНЬГАЗПРОМ", "ТУАПСЕНЕФТЕПРОДУКТ"};
        const QDateTime start(QDate(2016, 1, 1), QTime(8, 0), Qt::UTC);
        const int perSession = kRows / kSessions;
        for (int s = 1; s <= kSessions; ++s) {
            session.restart().bind(1, qint64{s});
            session.bind(2, zr::journal::timeText(start.addSecs(qint64{s - 1} * perSession * 60)));
            session.run();
        }
        for (int i = 0; i < kRows; ++i) {
            const QString moment = zr::journal::timeText(start.addSecs(qint64{i} * 60));
            row.restart().bind(1, QString::number(i)).bind(2, qint64{1 + i / perSession});
            const bool deleted = i % 997 == 0;
            if (deleted) {
                row.bindNull(3).bind(5, moment);
            } else {
                row.bind(3, qint64{i % perSession}).bindNull(5);
            }
            row.bind(4, moment).bind(6, QString::number(1000 + i % perSession));
            row.bind(7, grades[i % 7]).bind(8, QStringLiteral("P %1").arg(1 + i % 4));
            row.bind(9, suppliers[(i / 7) % 7]).bind(10, qint64{1 + (i / 49) % 3});
            row.bindReal(11, 90.0 + std::fmod(i * 0.37, 8.0)).bind(12, qint64{1}).bind(13, moment);
            row.run();
        }
        db.execute("COMMIT");
        return file;
    }();
    return path;
}

struct Window {
    Window()
        : controller(messages, zr::history::HistoryExport(zr::records::xlsxWorkbookWriter(),
                                                          zr::common::systemFiles())) {}
    void open() {
        controller.open(millionRowJournal());
        window = std::make_unique<zr::history::HistoryWindow>(controller, messages);
        window->show();
        settle();
    }
    zr::bench::SilentMessages messages;
    HistoryController controller;
    std::unique_ptr<zr::history::HistoryWindow> window;
};

// Opening the window: the journal opened, the first page of the newest rows, the row count and
// the filter lists read, the window shown and painted.
void BM_OpenToFirstPage(benchmark::State& state) {
    millionRowJournal();
    for (auto _ : state) {
        Window shown;
        shown.open();
        benchmark::DoNotOptimize(shown.controller.table().rowCount());
    }
}
BENCHMARK(BM_OpenToFirstPage)->Unit(benchmark::kMillisecond)->UseRealTime();

// A filter chosen in the window: the first page and the count read again, the table repainted.
// The filters: none; a grade (a seventh of the rows); a grade, supplier and method (one in 147);
// a sample number; a month. Each is timed coming from another.
std::vector<HistoryFilter> filters() {
    std::vector<HistoryFilter> filters(5);
    filters[1].grade = QStringLiteral("АИ-92");
    filters[2].grade = QStringLiteral("АИ-95");
    filters[2].supplier = QStringLiteral("ЮКОС");
    filters[2].method = 2;
    filters[3].number = QStringLiteral("1234");
    filters[4].since = QDateTime(QDate(2017, 3, 1), QTime(), Qt::UTC);
    filters[4].before = QDateTime(QDate(2017, 4, 1), QTime(), Qt::UTC);
    return filters;
}

// Arg 1: 0 until the first page is painted; 1 until the rows are counted too, which the window
// does right after it painted the page.
void BM_FilterChange(benchmark::State& state) {
    // Its own window each time: a window kept past the benchmark would outlive the application.
    Window shown;
    shown.open();
    const std::vector<HistoryFilter> all = filters();
    const HistoryFilter& chosen = all[static_cast<std::size_t>(state.range(0))];
    const HistoryFilter& before = all[static_cast<std::size_t>(state.range(0) + 1) % all.size()];
    const bool counted = state.range(1) != 0;
    for (auto _ : state) {
        state.PauseTiming();
        shown.controller.setFilter(before);
        settle();
        state.ResumeTiming();
        shown.controller.setFilter(chosen);
        shown.window->repaint();
        if (counted) {
            while (!shown.controller.rowCount()) {
                QCoreApplication::processEvents();
            }
        }
    }
}
BENCHMARK(BM_FilterChange)
    ->ArgsProduct({{0, 1, 2, 3, 4}, {0, 1}})
    ->ArgNames({"filter", "counted"})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// What a filter change costs in the journal alone: the first page (arg 1 = 0) or the count
// (arg 1 = 1) of each filter; arg 2 = 1 bounds it to the rows made so far, as the window does.
void BM_Query(benchmark::State& state) {
    static zr::history::HistoryDatabase database(millionRowJournal(), 2000);
    HistoryFilter filter = filters()[static_cast<std::size_t>(state.range(0))];
    if (state.range(2) != 0) {
        filter.lastRowId = database.lastRowId();
    }
    const bool count = state.range(1) != 0;
    for (auto _ : state) {
        if (count) {
            benchmark::DoNotOptimize(database.count(filter));
        } else {
            benchmark::DoNotOptimize(database.page(filter, {}, std::nullopt, 256));
        }
    }
}
BENCHMARK(BM_Query)
    ->ArgsProduct({{0, 1, 2, 3, 4}, {0, 1}, {0, 1}})
    ->ArgNames({"filter", "count", "bounded"})
    ->Unit(benchmark::kMillisecond);

// The charts of 100 000 points with violations among them, in a view of 1100 x 640.
zr::history::ControlChartData hundredThousandPoints() {
    zr::history::ChartSeries series;
    const QDateTime start(QDate(2020, 1, 1), QTime(), Qt::UTC);
    for (int i = 0; i < 100000; ++i) {
        series.ids.push_back(i);
        series.numbers.push_back(QString::number(i));
        series.moments.push_back(start.addSecs(qint64{i} * 600));
        series.values.push_back(92.0 + std::sin(i * 0.7) * 0.2 + (i % 5000 == 0 ? 2.0 : 0.0));
    }
    return zr::history::buildControlCharts(std::move(series), {}, 0.4);
}

void BM_ChartFrame(benchmark::State& state) {
    static const zr::history::ControlChartData data = hundredThousandPoints();
    zr::history::ControlChartView view;
    view.resize(1100, 640);
    view.setData(&data, QStringLiteral("АИ-92"));
    view.show();
    settle();
    const bool resized = state.range(0) != 0;
    int width = 1100;
    for (auto _ : state) {
        if (resized) {
            width = width == 1100 ? 1101 : 1100;
            view.resize(width, 640);
        }
        view.repaint();
    }
    state.counters["violations"] = static_cast<double>(data.charts.violations.size());
}
BENCHMARK(BM_ChartFrame)
    ->Arg(0)
    ->Arg(1)
    ->ArgName("resized")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    return zr::bench::runQtBenchmarks(argc, argv);
}
