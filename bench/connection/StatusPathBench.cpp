// Status reports through the whole path: the meter simulator's reports are read by the HID
// reader thread, handed to the main thread, logged, decoded and shown by the real main window
// (offscreen). Also reports what one traffic-log line costs in memory.
#include "app/Program.h"
#include "app/ServicePage.h"
#include "device/hid/simulated/SimulatedHidBus.h"
#include "sim/SimulatedMeter.h"
#include "support/BenchSupport.h"
#include "support/ProcessCpu.h"
#include "ui/KeyPreviewApplication.h"
#include "ui/LogView.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstring>

namespace {

struct Rig : zr::bench::ProgramRig {
    zr::ui::LogView& log() { return *program->mainWindow().servicePage()->log(); }
};

Rig& rig() {
    static Rig instance;
    return instance;
}

// A status report whose value, frequency and count differ from the previous one's, as a meter
// settling on a sample sends them.
zr::protocol::ReportBuffer settlingReport(int i) {
    zr::protocol::ReportBuffer report{};
    report[1] = 0x37;
    const auto frequency = static_cast<std::uint16_t>(4400 + i % 500);
    report[2] = static_cast<std::uint8_t>(frequency & 0xFF);
    report[3] = static_cast<std::uint8_t>(frequency >> 8);
    report[4] = 1;
    const float value = 90.0F + static_cast<float>(i % 97) * 0.1F;
    const float correction = 0.5F;
    std::memcpy(&report[5], &value, 4);
    std::memcpy(&report[9], &correction, 4);
    report[13] = static_cast<std::uint8_t>(i % 2);
    report[14] = static_cast<std::uint8_t>(i % 11);
    return report;
}

// How the main thread waits for the reports: asleep in its event loop, as the program's is when
// it has nothing else to do, or polling for events without sleeping, as a main thread with other
// work keeps coming back.
enum class MainThread { Sleeps, Polls };

// Sends `count` status reports in batches that fit the device queue and waits until the main
// window has handled all of them.
void pump(Rig& r, int count, MainThread mainThread, bool settling = false) {
    constexpr int kBatch = 64;
    static int serial = 0;
    const auto flags =
        mainThread == MainThread::Sleeps ? QEventLoop::WaitForMoreEvents : QEventLoop::AllEvents;
    for (int sent = 0; sent < count; sent += kBatch) {
        const std::size_t target = r.log().lineCount() + kBatch;
        for (int i = 0; i < kBatch; ++i) {
            if (settling) {
                r.meter.sendReport(settlingReport(serial++));
            } else {
                r.meter.sendStatusReport();
            }
        }
        while (r.log().lineCount() < target) {
            QCoreApplication::processEvents(flags);
        }
    }
}

// CPU of the whole process (reader, main thread and all) per report.
void countCpuPerReport(benchmark::State& state, double cpuBefore, std::int64_t reports) {
    state.counters["cpu_us_per_report"] =
        (zr::bench::processCpuSeconds() - cpuBefore) * 1e6 / static_cast<double>(reports);
}

// The CPU counter includes the polling main thread's own spinning in the second case.
void BM_StatusReportsThroughTheMainWindow(benchmark::State& state) {
    Rig& r = rig();
    const auto mainThread = static_cast<MainThread>(state.range(0));
    const double cpuBefore = zr::bench::processCpuSeconds();
    for (auto _ : state) {
        pump(r, 640, mainThread);
    }
    state.SetItemsProcessed(state.iterations() * 640);
    countCpuPerReport(state, cpuBefore, state.iterations() * 640);
}
BENCHMARK(BM_StatusReportsThroughTheMainWindow)
    ->ArgName("main_thread_polls")
    ->Arg(static_cast<int>(MainThread::Sleeps))
    ->Arg(static_cast<int>(MainThread::Polls))
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void BM_SettlingReportsThroughTheMainWindow(benchmark::State& state) {
    Rig& r = rig();
    const double cpuBefore = zr::bench::processCpuSeconds();
    for (auto _ : state) {
        pump(r, 640, MainThread::Sleeps, true);
    }
    state.SetItemsProcessed(state.iterations() * 640);
    countCpuPerReport(state, cpuBefore, state.iterations() * 640);
}
BENCHMARK(BM_SettlingReportsThroughTheMainWindow)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_TrafficLogMemoryAfter100000Reports(benchmark::State& state) {
    Rig& r = rig();
    const double cpuBefore = zr::bench::processCpuSeconds();
    std::int64_t pumped = 0;
    for (auto _ : state) {
        const std::size_t missing = r.log().lineCount() < 100000 ? 100000 - r.log().lineCount() : 0;
        const int count = static_cast<int>((missing + 63) / 64 * 64);
        pump(r, count, MainThread::Sleeps);
        pumped += count;
    }
    if (pumped > 0) {
        countCpuPerReport(state, cpuBefore, pumped);
    }
    const auto& store = r.log().store();
    const double lines = static_cast<double>(store.size());
    state.counters["lines"] = lines;
    state.counters["text_bytes_per_line"] = static_cast<double>(store.textBytes()) / lines;
    state.counters["memory_bytes_per_line"] = static_cast<double>(store.memoryBytes()) / lines;
}
BENCHMARK(BM_TrafficLogMemoryAfter100000Reports)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    return zr::bench::runQtBenchmarks(argc, argv);
}
