// Hot-plug soak: a claimed meter plugged and unplugged a thousand times while status reports
// stream in from another thread and commands are written; the unplug comes in turn from the
// main thread, from inside a write and from another thread. Then the controller is destroyed
// while readers run. Run under the sanitizers, it also shows that nothing leaks or races.

#include "HidTestSupport.h"

#include "device/hid/HidDeviceController.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <thread>

using namespace zr::hid;
using namespace zr::hid::test;

namespace {

constexpr int kCycles = 1000;

// The meter's side: keeps the port of the device plugged now, and can pull itself out of the
// bus while a write reaches it.
class SoakMeter : public SimulatedDeviceModel {
public:
    explicit SoakMeter(SimulatedHidBus& bus) : bus_(bus) {}

    void attached(std::shared_ptr<SimulatedInputPort> port) override {
        std::lock_guard lock(mutex_);
        port_ = std::move(port);
    }
    void onOutputReport(const uint8_t*, std::size_t) override {
        writes.fetch_add(1);
        if (unplugOnWrite_.exchange(false)) {
            bus_.unplug(currentPort()->id());
        }
    }
    void detached() override {
        std::lock_guard lock(mutex_);
        port_.reset();
    }

    std::shared_ptr<SimulatedInputPort> currentPort() {
        std::lock_guard lock(mutex_);
        return port_;
    }
    void unplugOnNextWrite() { unplugOnWrite_.store(true); }

    std::atomic<int> writes{0};

private:
    SimulatedHidBus& bus_;
    std::mutex mutex_;
    std::shared_ptr<SimulatedInputPort> port_;
    std::atomic<bool> unplugOnWrite_{false};
};

// Pushes status reports to whichever meter is plugged, until stopped.
class StatusStream {
public:
    explicit StatusStream(std::function<std::shared_ptr<SimulatedInputPort>()> port)
        : thread_([this, port = std::move(port)] {
              uint8_t n = 0;
              while (!stop_.load()) {
                  const auto p = port();
                  if (p && p->pendingReports() < 64) {
                      auto report = meterReport(n++);
                      report[1] = 0x37;
                      if (p->pushInputReport(std::move(report))) {
                          pushed.fetch_add(1);
                      }
                  }
                  std::this_thread::sleep_for(std::chrono::microseconds(200));
              }
          }) {}
    ~StatusStream() {
        stop_.store(true);
        thread_.join();
    }
    StatusStream(const StatusStream&) = delete;
    StatusStream& operator=(const StatusStream&) = delete;

    std::atomic<uint64_t> pushed{0};

private:
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

} // namespace

TEST(HotPlugSoak, AThousandUnplugsOfAClaimedMeterWhileReportsStreamAndCommandsAreWritten) {
    SimulatedHidBus bus;
    auto controller = std::make_unique<HidDeviceController>(bus);
    HidDevice* meter = nullptr;
    uint64_t reports = 0;
    int removals = 0;
    std::vector<uint64_t> slicesToStop;
    controller->setOnArrival([&](HidDevice& d) {
        meter = controller->claimDeviceAt(controller->indexOf(&d));
        ASSERT_NE(meter, nullptr);
        meter->setReadQueueDepth(128);
        meter->setDataHandler([&](HidDevice&, uint8_t, const uint8_t* data, uint16_t) {
            reports += data[0] == 0x37;
        });
    });
    controller->setOnRemoval([&](HidDevice& d) {
        ASSERT_EQ(&d, meter);
        const uint64_t before = d.readSlicesRunOut();
        d.setDataHandler(nullptr);
        slicesToStop.push_back(d.readSlicesRunOut() - before);
        controller->returnDevice(&d);
        meter = nullptr;
        ++removals;
    });
    auto model = std::make_shared<SoakMeter>(bus);
    StatusStream stream([&] { return model->currentPort(); });
    WAIT_UNTIL_EQ(controller->scanCount(), 1, 5000);

    const std::vector<uint8_t> command = meterReport(0);
    for (int cycle = 0; cycle < kCycles; ++cycle) {
        SCOPED_TRACE(cycle);
        const SimulatedDeviceId id = bus.plug(meterInfo(), model);
        ASSERT_TRUE(zr::test::waitFor(
            [&] { return meter != nullptr && bus.openHandleCount(id, HidOpenMode::Read) == 1; }));
        const uint64_t reportsBefore = reports;
        ASSERT_TRUE(zr::test::waitFor([&] { return reports > reportsBefore; }))
            << "reports stream in";
        ASSERT_TRUE(meter->writeReport(command.data(), command.size()).ok);
        switch (cycle % 3) {
        case 0: // the main thread
            bus.unplug(id);
            break;
        case 1: { // inside a write: the write itself may still succeed
            model->unplugOnNextWrite();
            meter->writeReport(command.data(), command.size());
            EXPECT_FALSE(bus.isPlugged(id));
            break;
        }
        default: { // another thread, while the main thread keeps writing
            std::thread other([&] { bus.unplug(id); });
            WriteResult result;
            do {
                result = meter->writeReport(command.data(), command.size());
            } while (result.ok);
            other.join();
            EXPECT_EQ(result.errorCode, ENODEV);
            break;
        }
        }
        ASSERT_TRUE(zr::test::waitFor([&] { return removals == cycle + 1; }));
        ASSERT_EQ(controller->deviceCount(), 0);
    }
    EXPECT_EQ(slicesToStop.size(), static_cast<std::size_t>(kCycles));
    for (std::size_t i = 0; i < slicesToStop.size(); ++i) {
        ASSERT_LE(slicesToStop[i], 1u) << "removal " << i << " took more than one wait slice";
    }
    EXPECT_EQ(bus.knownDeviceCount(), 0u) << "the bus forgot every meter";

    // The controller destroyed while the readers of two claimed meters run.
    controller->setOnArrival([&](HidDevice& d) {
        HidDevice* claimed = controller->claimDeviceAt(controller->indexOf(&d));
        claimed->setDataHandler([&](HidDevice&, uint8_t, const uint8_t*, uint16_t) { ++reports; });
    });
    const SimulatedDeviceId a = bus.plug(meterInfo(), model);
    const SimulatedDeviceId b = bus.plug(meterInfo());
    ASSERT_TRUE(zr::test::waitFor([&] {
        return bus.openHandleCount(a, HidOpenMode::Read) == 1 &&
               bus.openHandleCount(b, HidOpenMode::Read) == 1;
    }));
    const uint64_t reportsBefore = reports;
    ASSERT_TRUE(zr::test::waitFor([&] { return reports > reportsBefore; }));
    controller.reset();
    EXPECT_EQ(bus.openHandleCount(a), 0);
    EXPECT_EQ(bus.openHandleCount(b), 0);
    EXPECT_GT(stream.pushed.load(), 0u);
}
