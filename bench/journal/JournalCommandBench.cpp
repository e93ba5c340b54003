// zr6040ctl journal --json over a journal of 200 000 rows (200 sessions of 1 000), against
// sqlite3 -json reading the same rows of the same file: the wall time of each child process and
// its peak resident memory (getrusage of the child). The same rows in a journal of the text
// schema too, which zr6040ctl reads as it is; and, when ZR6040CTL_BASELINE names an older
// zr6040ctl, that program on the text-schema file.
#include "journal/Journal.h"
#include "journal/TextSchemaJournal.h"

#include <QStandardPaths>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <chrono>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using zr::journal::Journal;
using zr::journal::TableRow;

constexpr int kSessions = 200;
constexpr int kRowsPerSession = 1000;

zr::journal::ProcessIdentity endedProcess() {
    return {1, QStringLiteral("another boot"), QStringLiteral("1")};
}

TableRow rowNumber(int n, const QDateTime& moment) {
    TableRow row;
    row.number = QString::number(n);
    row.grade = QStringLiteral("АИ-95");
    row.tank = QStringLiteral("P 2");
    row.supplier = QStringLiteral("ЛУКОЙЛ");
    row.method = 1 + n % 3;
    row.value = 80.0 + (n % 200) / 10.0;
    row.valueDecimals = TableRow::kOneDecimal;
    row.moment = moment;
    return row;
}

void writeTypedJournal(const QString& path) {
    Journal journal(path, 2000);
    const QDateTime start(QDate(2026, 3, 1), QTime(8, 0), Qt::UTC);
    journal.begin();
    for (int s = 0; s < kSessions; ++s) {
        const qint64 session = journal.startSession(endedProcess());
        journal.insertRows(session, 0, kRowsPerSession);
        for (int r = 0; r < kRowsPerSession; ++r) {
            const int n = s * kRowsPerSession + r;
            journal.setRow(session, r, rowNumber(n, start.addSecs(n)), QStringLiteral("1234"));
        }
        journal.closeSession(session);
    }
    journal.commit();
}

// The same rows as the program kept them before they were typed.
void writeTextJournal(const QString& path) {
    zr::journal::test::TextSchemaJournal old(path);
    old.begin();
    const QDateTime start(QDate(2026, 3, 1), QTime(8, 0), Qt::UTC);
    for (int s = 0; s < kSessions; ++s) {
        const qint64 session =
            old.addSession(QStringLiteral("2026-03-01T08:00:00.000Z"),
                           QStringLiteral("2026-03-01T18:00:00.000Z"), endedProcess());
        for (int r = 0; r < kRowsPerSession; ++r) {
            const int n = s * kRowsPerSession + r;
            const QDateTime moment = start.addSecs(n);
            old.addRow(session, r, moment.toString(Qt::ISODateWithMs), {},
                       zr::journal::shownTexts(rowNumber(n, moment)));
        }
    }
    old.commit();
}

struct Files {
    QTemporaryDir dir;
    QString typed = dir.filePath(QStringLiteral("typed.sqlite"));
    QString text = dir.filePath(QStringLiteral("text.sqlite"));
    Files() {
        writeTypedJournal(typed);
        writeTextJournal(text);
    }
};

const Files& files() {
    static const Files made;
    return made;
}

struct ChildRun {
    double seconds = 0;
    double peakMiB = 0;
    bool ok = false;
};

// Runs the program with its output to /dev/null and waits for it.
ChildRun runChild(const QStringList& arguments) {
    std::vector<QByteArray> bytes;
    for (const QString& argument : arguments) {
        bytes.push_back(argument.toLocal8Bit());
    }
    std::vector<char*> argv;
    for (QByteArray& argument : bytes) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = ::fork();
    if (child == 0) {
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, STDOUT_FILENO);
        ::execv(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    ::wait4(child, &status, 0, &usage);
    ChildRun run;
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.peakMiB = static_cast<double>(usage.ru_maxrss) / 1024.0;
    run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return run;
}

void measure(benchmark::State& state, const QStringList& arguments) {
    double peak = 0;
    for (auto _ : state) {
        const ChildRun run = runChild(arguments);
        if (!run.ok) {
            state.SkipWithError("the program failed");
            return;
        }
        state.SetIterationTime(run.seconds);
        peak = std::max(peak, run.peakMiB);
    }
    state.counters["peak_MiB"] = peak;
    state.counters["rows"] = kSessions * kRowsPerSession;
}

void BM_CtlJournalJson(benchmark::State& state) {
    measure(state, {QStringLiteral(ZR6040CTL), QStringLiteral("journal"), files().typed,
                    QStringLiteral("--json")});
}

void BM_Sqlite3Json(benchmark::State& state) {
    const QString sqlite3 = QStandardPaths::findExecutable(QStringLiteral("sqlite3"));
    if (sqlite3.isEmpty()) {
        state.SkipWithError("no sqlite3 command (scripts/setup --test installs it): "
                            "nothing to compare with");
        return;
    }
    measure(state, {sqlite3, QStringLiteral("-json"), files().typed,
                    QStringLiteral("SELECT * FROM measurement_row")});
}

void BM_CtlJournalJsonTextSchema(benchmark::State& state) {
    measure(state, {QStringLiteral(ZR6040CTL), QStringLiteral("journal"), files().text,
                    QStringLiteral("--json")});
}

void BM_BaselineCtlJournalJsonTextSchema(benchmark::State& state) {
    const QString baseline = qEnvironmentVariable("ZR6040CTL_BASELINE");
    if (baseline.isEmpty()) {
        state.SkipWithError("ZR6040CTL_BASELINE names no older zr6040ctl to compare with");
        return;
    }
    measure(state, {baseline, QStringLiteral("journal"), files().text, QStringLiteral("--json")});
}

// One run per repetition: with --benchmark_repetitions=N
// --benchmark_enable_random_interleaving=true the programs take turns, so that a machine busy at
// one moment weighs on each alike.
BENCHMARK(BM_CtlJournalJson)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Sqlite3Json)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CtlJournalJsonTextSchema)
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BaselineCtlJournalJsonTextSchema)
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
