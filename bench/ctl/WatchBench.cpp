// `zr6040ctl watch --json` through the real path: the simulated meter's status reports are read
// by the HID reader thread, handed to the main thread, decoded by the meter session and written
// as JSON lines by the command, into memory instead of a pipe. The figure to watch is
// items_per_second (reports written per second).
#include "ctl/ProgramRun.h"
#include "device/hid/simulated/SimulatedHidBus.h"
#include "sim/SimulatedMeter.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QTimer>
#include <benchmark/benchmark.h>

namespace {

constexpr int kReports = 20000;
// Reports in flight at most: well inside the reader's queue of 128.
constexpr int kBatch = 64;

void BM_WatchJsonLines(benchmark::State& state) {
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
        zr::ctl::CommandRunner::Io io;
        io.out = [&](const QByteArray& bytes) {
            out += bytes;
            ++lines;
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
        if (run.exec() != 0) {
            state.SkipWithError("watch did not end with status 0");
        }
        benchmark::DoNotOptimize(out.data());
    }
    state.SetItemsProcessed(state.iterations() * kReports);
}
BENCHMARK(BM_WatchJsonLines)->Unit(benchmark::kMillisecond)->UseRealTime();

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

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::benchmark::Initialize(&argc, argv);
    ::benchmark::RunSpecifiedBenchmarks();
    ::benchmark::Shutdown();
    return 0;
}
