// Hand-over of input reports from a device's reader thread to the main thread
// on the simulated bus: how many reports per second reach the DataHandler when the
// device produces them as fast as it can, and the latency from a report's arrival in the device
// queue to the start of its DataHandler on the main thread (median, 99th percentile).

#include "device/hid/HidDeviceController.h"
#include "device/hid/simulated/SimulatedHidBus.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <thread>
#include <vector>

using namespace zr::hid;

namespace {

using Clock = std::chrono::steady_clock;

SimulatedDeviceInfo meter() {
    SimulatedDeviceInfo info;
    info.vendorId = 0x04D7;
    info.productId = 0x013F;
    info.product = QStringLiteral("bench meter");
    info.caps.inputReportByteLength = 65;
    info.caps.outputReportByteLength = 65;
    return info;
}

// One claimed meter on a fresh bus, with its read handle open and a deep queue.
struct Rig {
    SimulatedHidBus bus;
    HidDeviceController controller{bus};
    HidDevice* device = nullptr;
    std::shared_ptr<SimulatedInputPort> port;

    Rig() {
        const auto id = bus.plug(meter());
        port = bus.inputPort(id);
        QEventLoop loop;
        controller.setOnDeviceChange([&](HidDeviceController&) { loop.quit(); });
        loop.exec();
        device = controller.claimDevice();
        device->setReadQueueDepth(SimulatedHidBus::kMaxQueueDepth);
    }
    ~Rig() { controller.returnDevice(device); }
};

std::vector<uint8_t> stamped() {
    std::vector<uint8_t> report(65, 0);
    const auto now = Clock::now().time_since_epoch().count();
    std::memcpy(report.data() + 1, &now, sizeof now);
    return report;
}

double nanosSince(const uint8_t* payload) {
    Clock::rep then = 0;
    std::memcpy(&then, payload, sizeof then);
    return static_cast<double>(Clock::now().time_since_epoch().count() - then);
}

// Throughput: a producer thread keeps the device queue full; the main thread runs its event loop
// and the handler counts. One iteration = 2000 hand-overs.
void BM_HandOverThroughput(benchmark::State& state) {
    Rig rig;
    constexpr int kBatch = 2000;
    std::atomic<bool> producing{true};
    std::thread producer([&] {
        const std::vector<uint8_t> report(65, 0);
        while (producing.load(std::memory_order_relaxed)) {
            if (rig.port->pendingReports() < SimulatedHidBus::kMaxQueueDepth - 1) {
                rig.port->pushInputReport(report);
            } else {
                std::this_thread::yield();
            }
        }
    });
    int handled = 0;
    QEventLoop loop;
    rig.device->setDataHandler([&](HidDevice&, uint8_t, const uint8_t*, uint16_t) {
        if (++handled >= kBatch) {
            loop.quit();
        }
    });
    int64_t total = 0;
    for (auto _ : state) {
        handled = 0;
        loop.exec();
        total += handled;
    }
    rig.device->setDataHandler(nullptr);
    producing.store(false);
    producer.join();
    state.SetItemsProcessed(total);
    state.counters["handovers_per_s"] =
        benchmark::Counter(static_cast<double>(total), benchmark::Counter::kIsRate);
}

// Latency: one report at a time (the next is pushed by the handler of the previous one), stamped
// when it enters the device queue; measured when its DataHandler starts on the main thread.
void BM_HandOverLatency(benchmark::State& state) {
    Rig rig;
    constexpr int kSamples = 500;
    std::vector<double> samples;
    samples.reserve(static_cast<std::size_t>(kSamples) * 64);
    QEventLoop loop;
    int remaining = 0;
    rig.device->setDataHandler([&](HidDevice&, uint8_t, const uint8_t* data, uint16_t) {
        samples.push_back(nanosSince(data));
        if (--remaining > 0) {
            rig.port->pushInputReport(stamped());
        } else {
            loop.quit();
        }
    });
    for (auto _ : state) {
        remaining = kSamples;
        rig.port->pushInputReport(stamped());
        loop.exec();
    }
    rig.device->setDataHandler(nullptr);
    std::sort(samples.begin(), samples.end());
    const auto at = [&](double q) {
        return samples[static_cast<std::size_t>(q * static_cast<double>(samples.size() - 1))];
    };
    state.SetItemsProcessed(static_cast<int64_t>(samples.size()));
    state.counters["median_us"] = at(0.5) / 1000.0;
    state.counters["p99_us"] = at(0.99) / 1000.0;
    state.counters["samples"] = static_cast<double>(samples.size());
}

BENCHMARK(BM_HandOverThroughput)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0);
BENCHMARK(BM_HandOverLatency)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
