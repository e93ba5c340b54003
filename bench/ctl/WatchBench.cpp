// `zr6040ctl watch --json` through the real path: the simulated meter's status reports are read
// by the HID reader thread, handed to the main thread, decoded by the meter session and written
// as JSON lines by the command, into memory, an --output file, or /dev/null as standard output. The
// figure to watch is items_per_second (reports written per second).
#include "ctl/OutputTarget.h"
#include "ctl/ProgramRun.h"
#include "device/hid/simulated/SimulatedHidBus.h"
#include "sim/SimulatedMeter.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <benchmark/benchmark.h>

namespace {

constexpr int kReports = 20000;
// Reports in flight at most: well inside the reader's queue of 128.
constexpr int kBatch = 64;

// Where the lines go: memory, or the program's own output target on a file (what --output FILE
// and standard output redirected to a file do, one write per line).
enum class Sink { Memory, OutputFile, DevNull };

void watchJsonLines(benchmark::State& state, Sink sink) {
    zr::hid::SimulatedHidBus bus;
    zr::sim::SimulatedMeter meter(bus);
    meter.setStatusInterval(0);
    meter.setNoiseAmplitude(0.0);
    meter.plug();
    QTemporaryDir dataDir;
    const zr::ctl::ParsedCommandLine parsed = zr::ctl::parseCommandLine(
        {QStringLiteral("zr6040ctl"), QStringLiteral("watch"), QStringLiteral("--json"),
         QStringLiteral("--count"), QString::number(kReports)});
    for (auto _ : state) {
        QByteArray out;
        int lines = 0;
        int sent = 0;
        const QString path = sink == Sink::DevNull ? QStringLiteral("/dev/null")
                                                   : dataDir.filePath(QStringLiteral("w.jsonl"));
        QFile::remove(dataDir.filePath(QStringLiteral("w.jsonl")));
        zr::ctl::OutputTarget target(path, zr::ctl::OutputTarget::Mode::Append);
        if (sink != Sink::Memory && !target.open()) {
            state.SkipWithError("the output file cannot be opened");
            return;
        }
        zr::ctl::CommandRunner::Io io;
        io.out = [&](const QByteArray& bytes) {
            ++lines;
            if (sink != Sink::Memory) {
                return target.write(bytes);
            }
            out += bytes;
            if (out.size() > (1 << 20)) {
                out.clear();
            }
            return true;
        };
        io.err = [](const QByteArray&) { return true; };
        zr::ctl::ProgramRun run(parsed.invocation, bus, dataDir.path(), std::move(io));
        QTimer pump;
        QObject::connect(&pump, &QTimer::timeout, [&] {
            while (sent - lines < kBatch && sent < kReports + kBatch) {
                meter.sendStatusReport();
                ++sent;
            }
        });
        pump.start(0);
        if (run.exec() != 0 || !target.close(true)) {
            state.SkipWithError("watch did not end with status 0");
        }
        benchmark::DoNotOptimize(out.data());
    }
    state.SetItemsProcessed(state.iterations() * kReports);
}

void BM_WatchJsonLines(benchmark::State& state) {
    watchJsonLines(state, Sink::Memory);
}
BENCHMARK(BM_WatchJsonLines)->Unit(benchmark::kMillisecond)->UseRealTime();

// `watch --json --output FILE`: appended line by line.
void BM_WatchJsonToOutputFile(benchmark::State& state) {
    watchJsonLines(state, Sink::OutputFile);
}
BENCHMARK(BM_WatchJsonToOutputFile)->Unit(benchmark::kMillisecond)->UseRealTime();

// Standard output redirected to /dev/null: the same write per line, without the file system.
void BM_WatchJsonToDevNull(benchmark::State& state) {
    watchJsonLines(state, Sink::DevNull);
}
BENCHMARK(BM_WatchJsonToDevNull)->Unit(benchmark::kMillisecond)->UseRealTime();

// The command's own share of a report: the record and its JSON line.
void BM_StatusJsonLineOnly(benchmark::State& state) {
    zr::protocol::StatusReport status;
    status.method = 1;
    status.measuredValue = 91.4f;
    status.frequency = 4500;
    QByteArray out;
    zr::ctl::RecordWriter writer(zr::ctl::Format::Json, zr::ctl::watchLayout(),
                                 [&](const QByteArray& bytes) {
                                     out = bytes;
                                     return true;
                                 });
    const QLocale locale;
    for (auto _ : state) {
        writer.writeStreamed(zr::ctl::watchRecord(status, locale, QStringLiteral("T"), 1));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_StatusJsonLineOnly);

// One watch line handed to the output target: appended to a file (--output) or written to
// /dev/null (standard output redirected), the system call each line costs.
void BM_OutputTargetLine(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path =
        state.range(0) == 0 ? dir.filePath(QStringLiteral("w.jsonl")) : QStringLiteral("/dev/null");
    zr::ctl::OutputTarget target(path, zr::ctl::OutputTarget::Mode::Append);
    if (!target.open()) {
        state.SkipWithError("the output file cannot be opened");
        return;
    }
    const QByteArray line(200, 'x');
    for (auto _ : state) {
        if (!target.write(line)) {
            state.SkipWithError("write failed");
            break;
        }
    }
    state.SetItemsProcessed(state.iterations());
    state.SetLabel(state.range(0) == 0 ? "file" : "/dev/null");
}
BENCHMARK(BM_OutputTargetLine)->Arg(0)->Arg(1);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::benchmark::Initialize(&argc, argv);
    ::benchmark::RunSpecifiedBenchmarks();
    ::benchmark::Shutdown();
    return 0;
}
