// Status reports through the whole path: the meter simulator's reports are read by the HID
// reader thread, handed to the main thread, logged, decoded and shown by the real main window
// (offscreen). Also reports what one traffic-log line costs in memory.
#include "app/Program.h"
#include "app/ServicePage.h"
#include "device/hid/simulated/SimulatedHidBus.h"
#include "sim/SimulatedMeter.h"
#include "ui/KeyPreviewApplication.h"
#include "ui/LogView.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

class SilentMessages : public zr::common::MessageService {
public:
    void inform(const QString&) override {}
    void showError(const QString&) override {}
    bool confirm(const QString&) override { return true; }
};

struct Rig {
    Rig() : meter(bus) {
        meter.setStatusInterval(0);
        meter.plug();
        program = std::make_unique<zr::app::Program>(zr::app::MainWindowContext{
            messages, bus, dir.path(), [](const QString&) { return true; }});
        program->mainWindow().show();
        while (!program->mainWindow().state().currentDevice) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        }
    }
    zr::ui::LogView& log() { return *program->mainWindow().servicePage()->log(); }

    zr::hid::SimulatedHidBus bus;
    zr::sim::SimulatedMeter meter;
    SilentMessages messages;
    QTemporaryDir dir;
    std::unique_ptr<zr::app::Program> program;
};

Rig& rig() {
    static Rig instance;
    return instance;
}

// Sends `count` status reports in batches that fit the device queue and waits until the main
// window has handled all of them.
void pump(Rig& r, int count) {
    constexpr int kBatch = 64;
    for (int sent = 0; sent < count; sent += kBatch) {
        const std::size_t target = r.log().lineCount() + kBatch;
        for (int i = 0; i < kBatch; ++i) {
            r.meter.sendStatusReport();
        }
        while (r.log().lineCount() < target) {
            QCoreApplication::processEvents(QEventLoop::AllEvents);
        }
    }
}

void BM_StatusReportsThroughTheMainWindow(benchmark::State& state) {
    Rig& r = rig();
    for (auto _ : state) {
        pump(r, 640);
    }
    state.SetItemsProcessed(state.iterations() * 640);
}
BENCHMARK(BM_StatusReportsThroughTheMainWindow)->Unit(benchmark::kMillisecond);

void BM_TrafficLogMemoryAfter100000Reports(benchmark::State& state) {
    Rig& r = rig();
    for (auto _ : state) {
        const std::size_t missing = r.log().lineCount() < 100000 ? 100000 - r.log().lineCount() : 0;
        pump(r, static_cast<int>((missing + 63) / 64 * 64));
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
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    zr::ui::KeyPreviewApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
