// The HID layer on the simulated bus: scans and events, claiming and
// returning, accessibility, strings, capabilities, writes, queue depths, the reader and unplug.

#include "HidTestSupport.h"

#include "device/hid/HidDeviceController.h"
#include "device/hid/HidDeviceReadThread.h"

#include <QSignalSpy>
#include <QThread>

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <thread>

using namespace zr::hid;
using namespace zr::hid::test;
using zr::test::holdsWithoutEvents;

namespace {

struct Events {
    std::vector<std::string> log;
    std::vector<int> listSizeAtArrival;
    std::vector<bool> inScanAtArrival;
    std::vector<HidDevice*> arrived;
    std::vector<HidDevice*> removed;
    int changes = 0;
};

void record(HidDeviceController& controller, Events& events) {
    controller.setOnArrival([&](HidDevice& d) {
        events.log.push_back("arrival " + d.productString().toStdString());
        events.listSizeAtArrival.push_back(controller.deviceCount());
        events.inScanAtArrival.push_back(d.inScanCallback());
        events.arrived.push_back(&d);
    });
    controller.setOnRemoval([&](HidDevice& d) {
        events.log.push_back("removal");
        events.removed.push_back(&d);
    });
    controller.setOnDeviceChange([&](HidDeviceController&) {
        events.log.push_back("change");
        ++events.changes;
    });
}

class ControllerTest : public ::testing::Test {
protected:
    SimulatedHidBus bus;
};

// The meter plugged with a model that records what is written to it, and claimed from a
// controller that has scanned it.
class PluggedMeterTest : public ControllerTest {
protected:
    // A queue depth above 0 opens the read handle now, as the program does.
    void claimPluggedMeter(int readQueueDepth = 0) {
        model = std::make_shared<RecordingModel>();
        meterId = bus.plug(meterInfo(), model);
        controller = std::make_unique<HidDeviceController>(bus);
        WAIT_UNTIL_EQ(controller->scanCount(), 1, 5000);
        meter = controller->claimDevice();
        ASSERT_NE(meter, nullptr);
        if (readQueueDepth > 0) {
            meter->setReadQueueDepth(readQueueDepth);
        }
    }

    std::shared_ptr<RecordingModel> model;
    zr::hid::SimulatedDeviceId meterId = 0;
    std::unique_ptr<HidDeviceController> controller;
    HidDevice* meter = nullptr;
};

} // namespace

TEST_F(ControllerTest, CreationQueuesTheFirstScanWhichRaisesOnDeviceChangeWithoutDevices) {
    HidDeviceController controller(bus);
    Events events;
    record(controller, events);
    EXPECT_EQ(controller.scanCount(), 0) << "the scan is queued, not run in the constructor";
    WAIT_UNTIL_EQ(controller.scanCount(), 1, 5000);
    EXPECT_EQ(controller.deviceCount(), 0);
    EXPECT_EQ(events.log, (std::vector<std::string>{"change"}));
}

TEST_F(ControllerTest, WithoutPlatformServicesNoDeviceIsEverReported) {
    bus.setAvailable(false);
    QSignalSpy notices(&bus, &HidPlatform::devicesChanged);
    bus.plug(meterInfo());
    HidDeviceController controller(bus);
    Events events;
    record(controller, events);
    bus.plug(otherInfo(2));
    WAIT_UNTIL_EQ(notices.count(), 2, 5000); // the controller would have scanned on these
    EXPECT_EQ(controller.scanCount(), 0);
    EXPECT_EQ(controller.deviceCount(), 0);
    EXPECT_TRUE(events.log.empty());
    EXPECT_EQ(controller.claimDevice(), nullptr);
}

TEST_F(ControllerTest, ThreeDevicesAtStartArriveInOrderWhileTheListGrows) {
    bus.plug(otherInfo(1, "first"));
    bus.plug(meterInfo());
    bus.plug(otherInfo(3, "third"));
    HidDeviceController controller(bus);
    Events events;
    record(controller, events);
    WAIT_UNTIL_EQ(controller.scanCount(), 1, 5000);
    EXPECT_EQ(events.log, (std::vector<std::string>{"arrival first", "arrival ZR6040 Octane Meter",
                                                    "arrival third", "change"}));
    EXPECT_EQ(events.listSizeAtArrival, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(events.inScanAtArrival, (std::vector<bool>{true, true, true}));
    ASSERT_EQ(controller.deviceCount(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(controller.deviceAt(i), events.arrived[static_cast<std::size_t>(i)]);
        EXPECT_FALSE(controller.deviceAt(i)->inScanCallback());
        EXPECT_TRUE(controller.deviceAt(i)->isPresent());
        EXPECT_FALSE(controller.deviceAt(i)->isClaimed());
    }
    EXPECT_EQ(controller.deviceAt(3), nullptr);
    EXPECT_EQ(controller.deviceAt(-1), nullptr);
}

TEST_F(ControllerTest, AttributesStringsAndCapabilities) {
    bus.plug(meterInfo());
    HidDeviceController controller(bus);
    WAIT_UNTIL_EQ(controller.scanCount(), 1, 5000);
    ASSERT_EQ(controller.deviceCount(), 1);
    HidDevice* listed = controller.deviceAt(0);
    EXPECT_EQ(listed->vendorId(), 0x04D7);
    EXPECT_EQ(listed->productId(), 0x013F);
    EXPECT_EQ(listed->versionNumber(), 0x0100);
    EXPECT_TRUE(listed->openedReadWrite());
    EXPECT_EQ(listed->pnpInfo().devicePath(), QStringLiteral("/dev/simhid1"));
    EXPECT_EQ(listed->pnpInfo().deviceInstance(), QStringLiteral("sim:1"));
    // Not accessible while unclaimed outside a scan callback: no strings, zeroed capabilities.
    EXPECT_FALSE(listed->isAccessible());
    EXPECT_EQ(listed->productString(), QString());
    EXPECT_EQ(listed->capabilities(), HidCaps{});

    HidDevice* meter = controller.claimDevice();
    ASSERT_EQ(meter, listed);
    EXPECT_TRUE(meter->isAccessible());
    EXPECT_EQ(meter->productString(), QStringLiteral("ZR6040 Octane Meter"));
    EXPECT_EQ(meter->serialString(), QStringLiteral("SN000123"));
    const HidCaps caps = meter->capabilities();
    EXPECT_EQ(caps.inputReportByteLength, 65);
    EXPECT_EQ(caps.outputReportByteLength, 65);
    EXPECT_FALSE(caps.numberedReports);
    // Queries open the synchronous handle and close it when done.
    EXPECT_EQ(bus.openHandleCount(1), 0);
    controller.returnDevice(meter);
}

TEST_F(ControllerTest, StringsAreCachedOnceRead) {
    const auto id = bus.plug(meterInfo());
    HidDeviceController controller(bus);
    WAIT_UNTIL_EQ(controller.scanCount(), 1, 5000);
    HidDevice* meter = controller.claimDevice();
    ASSERT_NE(meter, nullptr);
    EXPECT_EQ(meter->productString(), QStringLiteral("ZR6040 Octane Meter"));
    EXPECT_EQ(meter->serialString(), QStringLiteral("SN000123"));
    bus.unplug(id); // the device cannot be asked any more; the caches still answer
    EXPECT_EQ(meter->productString(), QStringLiteral("ZR6040 Octane Meter"));
    EXPECT_EQ(meter->serialString(), QStringLiteral("SN000123"));
    controller.returnDevice(meter);
}

TEST_F(ControllerTest, ANoticeDuringAScanIsLostAndTheNextOneCatchesUp) {
    QSignalSpy early(&bus, &HidPlatform::devicesChanged);
    bus.plug(meterInfo());
    WAIT_UNTIL_EQ(early.count(), 1, 5000); // the plug notice goes by before the controller exists
    HidDeviceController controller(bus);
    int notices = 0;
    QObject::connect(&bus, &HidPlatform::devicesChanged, [&] { ++notices; });
    Events events;
    record(controller, events);
    bool plugged = false;
    controller.setOnArrival([&](HidDevice& d) {
        events.arrived.push_back(&d);
        if (!plugged) {
            plugged = true;
            // As if the handler showed a modal dialog: a nested event loop runs meanwhile and
            // delivers the notice of the second device while the scan is in progress.
            bus.plug(otherInfo(2, "late"));
            WAIT_UNTIL(notices == 1, 5000);
            EXPECT_TRUE(controller.isScanning());
        }
    });
    WAIT_UNTIL_EQ(controller.scanCount(), 1, 5000);
    WAIT_PAST_POSTED_EVENTS(); // nothing was queued for later either
    EXPECT_EQ(controller.scanCount(), 1) << "the notice arriving during the scan was dropped";
    EXPECT_EQ(controller.deviceCount(), 1);
    EXPECT_EQ(events.arrived.size(), 1u);

    bus.raiseChangeNotice(); // the next notice scans again and catches up
    WAIT_UNTIL_EQ(controller.scanCount(), 2, 5000);
    ASSERT_EQ(controller.deviceCount(), 2);
    EXPECT_EQ(events.arrived.size(), 2u);
    EXPECT_EQ(controller.deviceAt(1)->productId(), 2);
}

TEST_F(ControllerTest, AScanWithoutChangeRaisesNothingAndKeepsTheDevices) {
    bus.plug(meterInfo());
    HidDeviceController controller(bus);
    Events events;
    record(controller, events);
    WAIT_UNTIL_EQ(controller.scanCount(), 1, 5000);
    HidDevice* before = controller.deviceAt(0);
    events.log.clear();
    bus.raiseChangeNotice();
    WAIT_UNTIL_EQ(controller.scanCount(), 2, 5000);
    EXPECT_TRUE(events.log.empty()) << "duplicates are dropped; no change, no OnDeviceChange";
    ASSERT_EQ(controller.deviceCount(), 1);
    EXPECT_EQ(controller.deviceAt(0), before);
}

TEST_F(ControllerTest, ClaimingWhenEveryDeviceIsClaimedGivesNothing) {
    bus.plug(meterInfo());
    bus.plug(otherInfo(2));
    HidDeviceController controller(bus);
    WAIT_UNTIL_EQ(controller.scanCount(), 1, 5000);
    HidDevice* first = controller.claimDevice();
    HidDevice* second = controller.claimDevice();
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(first, controller.deviceAt(0));
    EXPECT_EQ(second, controller.deviceAt(1));
    EXPECT_TRUE(first->isClaimed());
    EXPECT_EQ(controller.claimDevice(), nullptr);
    EXPECT_EQ(controller.claimDeviceAt(0), nullptr);
    EXPECT_EQ(controller.claimDeviceAt(2), nullptr);
    EXPECT_EQ(controller.claimDeviceAt(-1), nullptr);
    controller.returnDevice(second);
    HidDevice* again = controller.claimDeviceAt(1);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again, controller.deviceAt(1));
    controller.returnDevice(first);
    controller.returnDevice(again);
}

TEST_F(ControllerTest, ReturningTheAttachedMeterLeavesAFreshCopyThatKeepsItsHandlers) {
    auto model = std::make_shared<RecordingModel>();
    bus.plug(otherInfo(1));
    bus.plug(meterInfo(), model);
    HidDeviceController controller(bus);
    WAIT_UNTIL_EQ(controller.scanCount(), 1, 5000);
    HidDevice* meter = controller.claimDeviceAt(1);
    ASSERT_NE(meter, nullptr);
    std::vector<uint8_t> received;
    int unplugCalls = 0;
    meter->setReadWaitSlice(40);
    meter->setUnplugHandler([&](HidDevice&) { ++unplugCalls; });
    meter->setDataHandler(
        [&](HidDevice&, uint8_t, const uint8_t* data, uint16_t) { received.push_back(data[0]); });
    EXPECT_TRUE(meter->hasReader());

    controller.returnDevice(meter);
    ASSERT_EQ(controller.deviceCount(), 2);
    HidDevice* copy = controller.deviceAt(1);
    EXPECT_FALSE(copy->isClaimed());
    EXPECT_FALSE(copy->hasReader());
    EXPECT_TRUE(copy->hasDataHandler());
    EXPECT_TRUE(copy->hasUnplugHandler());
    EXPECT_EQ(copy->readWaitSlice(), 40);
    EXPECT_EQ(copy->vendorId(), 0x04D7);
    EXPECT_EQ(bus.openHandleCount(2), 0) << "the returned device closed its handles";

    HidDevice* again = controller.claimDeviceAt(1);
    ASSERT_EQ(again, copy);
    EXPECT_TRUE(again->hasReader()) << "claiming the copy starts its reader at once";
    // The reader opens its read handle itself; wait for it, then push.
    WAIT_UNTIL(bus.openHandleCount(2, HidOpenMode::Read) == 1, 5000);
    ASSERT_TRUE(model->port->pushInputReport(meterReport(10)));
    WAIT_UNTIL(received.size() == 1, 5000);
    EXPECT_EQ(received[0], 11);
    controller.returnDevice(again);
    EXPECT_EQ(unplugCalls, 0);
}

TEST_F(PluggedMeterTest, UnplugClosesHandlesBeforeOnRemovalAndClearingTheHandlerStopsTheReader) {
    ASSERT_NO_FATAL_FAILURE(claimPluggedMeter());
    meter->setInputQueueDepth(128);
    meter->setReadQueueDepth(128);
    int reports = 0;
    meter->setDataHandler([&](HidDevice&, uint8_t, const uint8_t*, uint16_t) { ++reports; });
    std::vector<std::string> order;
    meter->setUnplugHandler([&](HidDevice& d) {
        order.push_back("unplug");
        EXPECT_FALSE(d.isPresent());
    });
    ASSERT_GT(bus.openHandleCount(meterId), 0);

    int handlesAtRemoval = -1;
    bool presentAtRemoval = true;
    std::uint64_t slicesWhileStopping = 99;
    bool readerAfterStop = true;
    controller->setOnRemoval([&](HidDevice& d) {
        order.push_back("removal");
        ASSERT_EQ(&d, meter);
        EXPECT_TRUE(d.inScanCallback());
        handlesAtRemoval = bus.openHandleCount(meterId);
        presentAtRemoval = d.isPresent();
        const std::uint64_t before = d.readSlicesRunOut();
        d.setDataHandler(nullptr);
        slicesWhileStopping = d.readSlicesRunOut() - before;
        readerAfterStop = d.hasReader();
    });
    bus.unplug(meterId);
    WAIT_UNTIL_EQ(controller->scanCount(), 2, 5000);
    EXPECT_EQ(order, (std::vector<std::string>{"unplug", "removal"}));
    EXPECT_EQ(handlesAtRemoval, 0);
    EXPECT_FALSE(presentAtRemoval);
    EXPECT_FALSE(readerAfterStop);
    EXPECT_LE(slicesWhileStopping, 1u) << "the reader stops within one wait slice";
    EXPECT_EQ(meter->inputQueueDepth(), 0);
    EXPECT_EQ(meter->readQueueDepth(), 0);

    // Claimed: it stays listed and is reported again by every later scan until returned.
    ASSERT_EQ(controller->deviceCount(), 1);
    EXPECT_EQ(controller->deviceAt(0), meter);
    order.clear();
    controller->setOnRemoval([&](HidDevice&) { order.push_back("removal"); });
    bus.raiseChangeNotice();
    WAIT_UNTIL_EQ(controller->scanCount(), 3, 5000);
    EXPECT_EQ(order, (std::vector<std::string>{"removal"})) << "the UnplugHandler runs only once";
    WriteResult write = meter->writeReport(meterReport(0).data(), 65);
    EXPECT_FALSE(write.ok);
    EXPECT_EQ(write.errorCode, ENODEV);
    controller->returnDevice(meter);
    EXPECT_EQ(controller->deviceCount(), 0) << "returning a device that is gone removes it";
}

TEST_F(ControllerTest, AnUnclaimedDeviceFoundGoneIsRemovedAndDestroyed) {
    bus.plug(otherInfo(1));
    const auto id = bus.plug(meterInfo());
    HidDeviceController controller(bus);
    Events events;
    record(controller, events);
    WAIT_UNTIL_EQ(controller.scanCount(), 1, 5000);
    HidDevice* meter = controller.deviceAt(1);
    events.log.clear();
    bool inScan = false;
    controller.setOnRemoval([&](HidDevice& d) {
        events.log.push_back("removal");
        inScan = d.inScanCallback();
        EXPECT_EQ(&d, meter);
        EXPECT_FALSE(d.isPresent());
    });
    bus.unplug(id);
    WAIT_UNTIL_EQ(controller.scanCount(), 2, 5000);
    EXPECT_EQ(events.log, (std::vector<std::string>{"removal", "change"}));
    EXPECT_TRUE(inScan);
    ASSERT_EQ(controller.deviceCount(), 1);
    EXPECT_EQ(controller.deviceAt(0)->productId(), 1);
}

TEST_F(ControllerTest, AReattachedDeviceArrivesAgainBesideTheClaimedOneThatIsGone) {
    const auto id = bus.plug(meterInfo());
    HidDeviceController controller(bus);
    WAIT_UNTIL_EQ(controller.scanCount(), 1, 5000);
    HidDevice* old = controller.claimDevice();
    ASSERT_NE(old, nullptr);
    bus.unplug(id);
    WAIT_UNTIL_EQ(controller.scanCount(), 2, 5000);
    bus.plug(meterInfo());
    WAIT_UNTIL_EQ(controller.scanCount(), 3, 5000);
    ASSERT_EQ(controller.deviceCount(), 2);
    EXPECT_EQ(controller.deviceAt(0), old);
    EXPECT_FALSE(old->isPresent());
    EXPECT_TRUE(controller.deviceAt(1)->isPresent());
    controller.returnDevice(old);
    ASSERT_EQ(controller.deviceCount(), 1);
    EXPECT_TRUE(controller.deviceAt(0)->isPresent());
}

TEST_F(PluggedMeterTest, UnnumberedReportsGiveReportIdZeroAndTheBytesAfterIt) {
    ASSERT_NO_FATAL_FAILURE(claimPluggedMeter(128));
    std::vector<std::pair<uint8_t, std::vector<uint8_t>>> got;
    meter->setDataHandler([&](HidDevice& d, uint8_t id, const uint8_t* data, uint16_t size) {
        EXPECT_EQ(&d, meter);
        got.emplace_back(id, std::vector<uint8_t>(data, data + size));
    });
    const auto report = meterReport(7);
    ASSERT_TRUE(model->port->pushInputReport(report));
    WAIT_UNTIL(got.size() == 1, 5000);
    EXPECT_EQ(got[0].first, 0);
    EXPECT_EQ(got[0].second.size(), 64u) << "size = bytes read - 1";
    EXPECT_EQ(got[0].second, std::vector<uint8_t>(report.begin() + 1, report.end()));
    controller->returnDevice(meter);
}

TEST_F(ControllerTest, NumberedReportsGiveTheirReportId) {
    SimulatedDeviceInfo info = otherInfo(0x55);
    info.caps.numberedReports = true;
    info.caps.inputReportByteLength = 9;
    const auto id = bus.plug(info);
    HidDeviceController controller(bus);
    WAIT_UNTIL_EQ(controller.scanCount(), 1, 5000);
    HidDevice* device = controller.claimDevice();
    ASSERT_NE(device, nullptr);
    EXPECT_TRUE(device->capabilities().numberedReports);
    device->setReadQueueDepth(16);
    std::vector<std::pair<uint8_t, uint16_t>> got;
    std::vector<uint8_t> lastPayload;
    device->setDataHandler([&](HidDevice&, uint8_t reportId, const uint8_t* data, uint16_t size) {
        got.emplace_back(reportId, size);
        lastPayload.assign(data, data + size);
    });
    auto port = bus.inputPort(id);
    ASSERT_FALSE(port->pushInputReport({0, 1, 2, 3, 4, 5, 6, 7, 8})) << "ID 0 on a numbered device";
    ASSERT_TRUE(port->pushInputReport({2, 1, 2, 3, 4, 5, 6, 7, 8}));
    ASSERT_TRUE(port->pushInputReport({5, 9, 9, 9, 9, 9, 9, 9, 9}));
    WAIT_UNTIL(got.size() == 2, 5000);
    EXPECT_EQ(got[0], (std::pair<uint8_t, uint16_t>{2, 8}));
    EXPECT_EQ(got[1], (std::pair<uint8_t, uint16_t>{5, 8}));
    EXPECT_EQ(lastPayload, (std::vector<uint8_t>{9, 9, 9, 9, 9, 9, 9, 9}));
    controller.returnDevice(device);
}

TEST_F(PluggedMeterTest, ReportsReachTheHandlerOnTheMainThreadOneAtATimeInOrder) {
    ASSERT_NO_FATAL_FAILURE(claimPluggedMeter(512));
    std::vector<uint8_t> sequence;
    bool inHandler = false;
    bool overlapped = false;
    bool offMainThread = false;
    meter->setDataHandler([&](HidDevice&, uint8_t, const uint8_t* data, uint16_t) {
        overlapped = overlapped || inHandler;
        offMainThread = offMainThread || QThread::currentThread() != qApp->thread();
        inHandler = true;
        sequence.push_back(data[0]);
        if (sequence.size() == 1) {
            // The next report is read while this handler runs.
            EXPECT_TRUE(holdsWithoutEvents([&] { return meter->reportsHandedOver() >= 2; }));
        }
        QCoreApplication::processEvents(); // a nested loop does not bring the next report in
        inHandler = false;
    });
    constexpr int kReports = 300;
    std::thread producer([&] {
        for (int i = 0; i < kReports; ++i) {
            auto report = meterReport(0);
            report[1] = static_cast<uint8_t>(i);
            while (model->port->pendingReports() >= 400) {
                std::this_thread::sleep_for(std::chrono::microseconds(100));
            }
            model->port->pushInputReport(std::move(report));
        }
    });
    const bool all = zr::test::waitFor([&] { return sequence.size() == kReports; }, 20000);
    producer.join();
    ASSERT_TRUE(all) << sequence.size();
    for (int i = 0; i < kReports; ++i) {
        ASSERT_EQ(sequence[static_cast<std::size_t>(i)], static_cast<uint8_t>(i));
    }
    EXPECT_FALSE(overlapped);
    EXPECT_FALSE(offMainThread);
    controller->returnDevice(meter);
}

TEST_F(ControllerTest, ReadWaitSliceAcceptsOnly10To10000) {
    bus.plug(meterInfo());
    HidDeviceController controller(bus);
    WAIT_UNTIL_EQ(controller.scanCount(), 1, 5000);
    HidDevice* d = controller.deviceAt(0);
    EXPECT_EQ(d->readWaitSlice(), 100);
    d->setReadWaitSlice(5);
    EXPECT_EQ(d->readWaitSlice(), 100);
    d->setReadWaitSlice(20000);
    EXPECT_EQ(d->readWaitSlice(), 100);
    d->setReadWaitSlice(10);
    EXPECT_EQ(d->readWaitSlice(), 10);
    d->setReadWaitSlice(10000);
    EXPECT_EQ(d->readWaitSlice(), 10000);
    d->setReadWaitSlice(9);
    EXPECT_EQ(d->readWaitSlice(), 10000);
}

TEST_F(ControllerTest, QueueDepthsAreSetOnTheHandlesAndReadBack) {
    const auto id = bus.plug(meterInfo());
    HidDeviceController controller(bus);
    WAIT_UNTIL_EQ(controller.scanCount(), 1, 5000);
    HidDevice* unclaimed = controller.deviceAt(0);
    unclaimed->setInputQueueDepth(128);
    unclaimed->setReadQueueDepth(128);
    EXPECT_EQ(unclaimed->inputQueueDepth(), 0) << "not accessible: nothing is set";
    EXPECT_EQ(unclaimed->readQueueDepth(), 0);

    HidDevice* meter = controller.claimDevice();
    meter->setInputQueueDepth(128);
    EXPECT_EQ(meter->inputQueueDepth(), 128);
    meter->setReadQueueDepth(128);
    EXPECT_EQ(meter->readQueueDepth(), 128);
    EXPECT_EQ(bus.openHandleCount(id, HidOpenMode::ReadWrite), 1);
    EXPECT_EQ(bus.openHandleCount(id, HidOpenMode::Read), 1);
    // A depth the platform refuses leaves the one in force, which is read back.
    meter->setReadQueueDepth(100000);
    EXPECT_EQ(meter->readQueueDepth(), 128);
    // A query closes the synchronous handle, whose depth then is 0 again; the read handle keeps
    // its depth.
    meter->productString();
    EXPECT_EQ(meter->inputQueueDepth(), 0);
    EXPECT_EQ(meter->readQueueDepth(), 128);
    controller.returnDevice(meter);
    EXPECT_EQ(bus.openHandleCount(id), 0);
}

TEST_F(ControllerTest, WriteReportReachesTheDeviceByteExact) {
    auto model = std::make_shared<RecordingModel>();
    const auto id = bus.plug(meterInfo(), model);
    HidDeviceController controller(bus);
    WAIT_UNTIL_EQ(controller.scanCount(), 1, 5000);
    std::vector<uint8_t> report(65, 0);
    report[1] = 0x55;
    report[64] = 0xAA;

    HidDevice* unclaimed = controller.deviceAt(0);
    WriteResult refused = unclaimed->writeReport(report.data(), report.size());
    EXPECT_FALSE(refused.ok);
    EXPECT_EQ(refused.bytesWritten, 0u);
    EXPECT_EQ(refused.errorCode, EPERM);
    EXPECT_TRUE(model->outputs.empty()) << "nothing reaches the platform when not accessible";

    HidDevice* meter = controller.claimDevice();
    WriteResult ok = meter->writeReport(report.data(), report.size());
    EXPECT_TRUE(ok.ok);
    EXPECT_EQ(ok.bytesWritten, 65u);
    EXPECT_EQ(ok.errorCode, 0);
    ASSERT_EQ(model->outputs.size(), 1u);
    EXPECT_EQ(model->outputs[0], report);
    EXPECT_EQ(model->writerThreads[0], qApp->thread());
    EXPECT_EQ(bus.openHandleCount(id, HidOpenMode::ReadWrite), 1) << "the handle stays open";

    bus.setWriteError(id, EIO);
    WriteResult failed = meter->writeReport(report.data(), report.size());
    EXPECT_FALSE(failed.ok);
    EXPECT_EQ(failed.errorCode, EIO);
    controller.returnDevice(meter);
}

TEST_F(ControllerTest, ADeviceThatCannotBeOpenedReadWriteIsListedButGetsNoReaderAndNoWrites) {
    SimulatedDeviceInfo keyboard = otherInfo(0x77, "keyboard");
    keyboard.openableReadWrite = false;
    bus.plug(keyboard);
    HidDeviceController controller(bus);
    WAIT_UNTIL_EQ(controller.scanCount(), 1, 5000);
    ASSERT_EQ(controller.deviceCount(), 1);
    HidDevice* d = controller.claimDevice();
    EXPECT_FALSE(d->openedReadWrite());
    EXPECT_EQ(d->vendorId(), 0x1234) << "identified through a query-only handle";
    EXPECT_EQ(d->productString(), QStringLiteral("keyboard"));
    d->setDataHandler([](HidDevice&, uint8_t, const uint8_t*, uint16_t) {});
    EXPECT_FALSE(d->hasReader());
    const uint8_t report[2] = {0, 1};
    EXPECT_FALSE(d->writeReport(report, 2).ok);
    controller.returnDevice(d);
}

TEST_F(ControllerTest, ADeviceThatCannotBeIdentifiedIsLeftOut) {
    SimulatedDeviceInfo broken = otherInfo(9);
    broken.identifiable = false;
    bus.plug(broken);
    bus.plug(meterInfo());
    HidDeviceController controller(bus);
    Events events;
    record(controller, events);
    WAIT_UNTIL_EQ(controller.scanCount(), 1, 5000);
    ASSERT_EQ(controller.deviceCount(), 1);
    EXPECT_EQ(controller.deviceAt(0)->productId(), 0x013F);
}

// The reader's first error depends on whether it had its read handle when the device went:
// a read on a handle of a device gone fails with ENODEV, opening a path that is gone with ENOENT.
// After the scan the device is not Present and the read cannot be started (ENODEV).
TEST_F(ControllerTest, AReaderWithoutItsDeviceReportsReadErrorsInEitherOrder) {
    for (const bool unplugBeforeTheReaderOpened : {false, true}) {
        SCOPED_TRACE(unplugBeforeTheReaderOpened ? "unplugged before the open"
                                                 : "unplugged while reading");
        const auto id = bus.plug(meterInfo());
        HidDeviceController controller(bus);
        WAIT_UNTIL_EQ(controller.scanCount(), 1, 5000);
        HidDevice* meter = controller.claimDevice();
        ASSERT_NE(meter, nullptr);
        meter->setReadWaitSlice(10);
        std::vector<int> errors;
        meter->setReadErrorHandler([&](HidDevice&, int code) { errors.push_back(code); });
        const auto reader = [](HidDevice&, uint8_t, const uint8_t*, uint16_t) {};
        if (unplugBeforeTheReaderOpened) {
            ASSERT_EQ(meter->capabilities().inputReportByteLength, 65); // known before it goes
            bus.unplug(id); // no scan yet: the device is still Present
            meter->setDataHandler(reader);
            // No events until the reader tried: the scan would make the device not Present.
            ASSERT_TRUE(holdsWithoutEvents([&] { return meter->readErrorsHandedOver() > 0; }));
        } else {
            meter->setDataHandler(reader);
            WAIT_UNTIL(bus.openHandleCount(id, HidOpenMode::Read) == 1, 5000);
            bus.unplug(id);
        }
        WAIT_UNTIL(!meter->isPresent() && errors.size() >= 3, 5000);
        EXPECT_EQ(errors.front(), unplugBeforeTheReaderOpened ? ENOENT : ENODEV);
        EXPECT_EQ(errors.back(), ENODEV);
        meter->setDataHandler(nullptr);
        const auto count = errors.size();
        WAIT_PAST_POSTED_EVENTS();
        EXPECT_EQ(errors.size(), count) << "no reports after the reader stopped";
        controller.returnDevice(meter);
    }
}

namespace {
// Pushes reports numbered first … first + count - 1 (in byte 1 of the payload).
void pushNumbered(SimulatedInputPort& port, int first, int count) {
    for (int i = first; i < first + count; ++i) {
        auto report = meterReport(0);
        report[1] = static_cast<uint8_t>(i);
        ASSERT_TRUE(port.pushInputReport(std::move(report)));
    }
}
} // namespace

// A reader that waits for room in its full queue does not wait for the main thread to end.
TEST_F(PluggedMeterTest, StoppingAReaderWithAFullQueueEndsItAndHandsNothingMoreOver) {
    ASSERT_NO_FATAL_FAILURE(claimPluggedMeter(SimulatedHidBus::kMaxQueueDepth));
    int reports = 0;
    meter->setDataHandler([&](HidDevice&, uint8_t, const uint8_t*, uint16_t) { ++reports; });
    WAIT_UNTIL(bus.openHandleCount(meterId, HidOpenMode::Read) == 1, 5000);
    constexpr int kQueued = static_cast<int>(HidDeviceReadThread::kQueueLength);
    pushNumbered(*model->port, 0, kQueued + 1);
    ASSERT_TRUE(holdsWithoutEvents([&] { return meter->reportsHandedOver() == kQueued; }));
    meter->setDataHandler(nullptr); // must not deadlock
    EXPECT_FALSE(meter->hasReader());
    WAIT_PAST_POSTED_EVENTS();
    EXPECT_EQ(reports, 0) << "nothing is handed over once the reader stopped";
    EXPECT_EQ(meter->reportsHandedOver(), static_cast<std::uint64_t>(kQueued));
    controller->returnDevice(meter);
}

// A handler that stops its reader mid-pass (clearing itself, then handing the device a new
// handler) ends that pass: what the old reader had queued is not handed to anyone, and the new
// handler gets only what the new reader reads.
TEST_F(PluggedMeterTest, AReaderStoppedByItsOwnHandlerHandsOverNothingItHadQueued) {
    ASSERT_NO_FATAL_FAILURE(claimPluggedMeter(16));
    std::vector<int> second;
    const HidDevice::DataHandler secondHandler = [&](HidDevice&, uint8_t, const uint8_t* data,
                                                     uint16_t) { second.push_back(data[0]); };
    std::vector<int> first;
    meter->setDataHandler([&](HidDevice& d, uint8_t, const uint8_t* data, uint16_t) {
        first.push_back(data[0]);
        d.setDataHandler(nullptr);
        d.setDataHandler(secondHandler);
    });
    WAIT_UNTIL(bus.openHandleCount(meterId, HidOpenMode::Read) == 1, 5000);
    pushNumbered(*model->port, 1, 3);
    // All three are queued before the main thread hands the first over.
    ASSERT_TRUE(holdsWithoutEvents([&] { return meter->reportsHandedOver() == 3; }));
    WAIT_UNTIL(!first.empty(), 5000);
    WAIT_UNTIL(bus.openHandleCount(meterId, HidOpenMode::Read) == 1, 5000);
    pushNumbered(*model->port, 4, 1);
    WAIT_UNTIL(!second.empty(), 5000);
    WAIT_PAST_POSTED_EVENTS();
    EXPECT_EQ(first, std::vector<int>{1});
    EXPECT_EQ(second, std::vector<int>{4});
    controller->returnDevice(meter);
}

// While the main thread is busy the reader queues what it reads, up to its bound; after that the
// device's own buffers keep the newest reports. Every report reaches the handler in order.
TEST_F(PluggedMeterTest, ReportsReadWhileTheMainThreadIsBusyArriveInOrderAndTheQueueIsBounded) {
    ASSERT_NO_FATAL_FAILURE(claimPluggedMeter());
    constexpr int kDeviceBuffers = 16;
    meter->setReadQueueDepth(kDeviceBuffers);
    std::vector<int> sequence;
    meter->setDataHandler(
        [&](HidDevice&, uint8_t, const uint8_t* data, uint16_t) { sequence.push_back(data[0]); });
    WAIT_UNTIL(bus.openHandleCount(meterId, HidOpenMode::Read) == 1, 5000);
    ASSERT_EQ(meter->readQueueDepth(), kDeviceBuffers);

    constexpr int kQueued = static_cast<int>(HidDeviceReadThread::kQueueLength);
    constexpr int kOverflow = 5;
    // Paced so that the device's buffers never overflow while the reader fills its queue.
    for (int i = 0; i < kQueued; ++i) {
        ASSERT_TRUE(holdsWithoutEvents([&] { return model->port->pendingReports() == 0; }));
        pushNumbered(*model->port, i, 1);
    }
    ASSERT_TRUE(holdsWithoutEvents([&] { return meter->readQueueFull() == 1; }));
    EXPECT_EQ(meter->reportsHandedOver(), static_cast<std::uint64_t>(kQueued));
    // The queue is full: these wait in the device, which drops its oldest five.
    pushNumbered(*model->port, kQueued, kDeviceBuffers + kOverflow);

    std::vector<int> expected;
    for (int i = 0; i < kQueued; ++i) {
        expected.push_back(i);
    }
    for (int i = kQueued + kOverflow; i < kQueued + kOverflow + kDeviceBuffers; ++i) {
        expected.push_back(i);
    }
    WAIT_UNTIL(sequence.size() == expected.size(), 5000);
    EXPECT_EQ(sequence, expected);
    controller->returnDevice(meter);
}

TEST_F(PluggedMeterTest, AHandlerMayClearItselfOrReturnItsOwnDevice) {
    ASSERT_NO_FATAL_FAILURE(claimPluggedMeter(64));
    int calls = 0;
    meter->setDataHandler([&](HidDevice& d, uint8_t, const uint8_t*, uint16_t) {
        ++calls;
        d.setDataHandler(nullptr);
    });
    ASSERT_TRUE(model->port->pushInputReport(meterReport(1)));
    ASSERT_TRUE(model->port->pushInputReport(meterReport(2)));
    WAIT_UNTIL(!meter->hasDataHandler(), 5000);
    WAIT_PAST_POSTED_EVENTS();
    EXPECT_EQ(calls, 1);
    EXPECT_FALSE(meter->hasReader());

    // Returning the device from inside its own DataHandler.
    bool returned = false;
    meter->setDataHandler([&](HidDevice& d, uint8_t, const uint8_t*, uint16_t) {
        if (!returned) {
            returned = true;
            controller->returnDevice(&d);
        }
    });
    EXPECT_TRUE(meter->hasReader());
    WAIT_UNTIL(bus.openHandleCount(meterId, HidOpenMode::Read) == 1, 5000);
    ASSERT_TRUE(model->port->pushInputReport(meterReport(3)));
    WAIT_UNTIL(returned, 5000);
    WAIT_PAST_POSTED_EVENTS();
    ASSERT_EQ(controller->deviceCount(), 1);
    EXPECT_FALSE(controller->deviceAt(0)->isClaimed());
    EXPECT_TRUE(controller->deviceAt(0)->hasDataHandler());
}

TEST_F(ControllerTest, ControllerDestructionReturnsAndFreesTheDevicesStillClaimed) {
    auto model = std::make_shared<RecordingModel>();
    bus.plug(meterInfo(), model);
    bus.plug(otherInfo(2));
    int unplugs = 0;
    bool readerAtUnplug = true;
    HidDeviceController* controllerAtUnplug = nullptr;
    {
        HidDeviceController controller(bus);
        WAIT_UNTIL_EQ(controller.scanCount(), 1, 5000);
        HidDevice* meter = controller.claimDevice();
        ASSERT_NE(meter, nullptr);
        meter->setUnplugHandler([&](HidDevice& d) {
            ++unplugs;
            readerAtUnplug = d.hasReader();
            controllerAtUnplug = d.controller();
        });
        meter->setDataHandler([](HidDevice&, uint8_t, const uint8_t*, uint16_t) {});
        EXPECT_TRUE(meter->hasReader());
        EXPECT_EQ(meter->controller(), &controller);
        WAIT_UNTIL(bus.openHandleCount(1, HidOpenMode::Read) == 1, 5000);
        // The unclaimed device is freed too; the leak checker sees whether anything is left.
    }
    EXPECT_EQ(unplugs, 1) << "the application learns that its device is gone";
    EXPECT_FALSE(readerAtUnplug) << "the reader was stopped before the unplug";
    EXPECT_EQ(controllerAtUnplug, nullptr);
    EXPECT_EQ(bus.openHandleCount(1), 0);
}

TEST_F(ControllerTest, TheDefaultHandlersGoToEveryNewDevice) {
    bus.plug(meterInfo());
    HidDeviceController controller(bus);
    controller.setOnDeviceData([](HidDevice&, uint8_t, const uint8_t*, uint16_t) {});
    controller.setOnDeviceUnplug([](HidDevice&) {});
    controller.setOnDeviceDataError([](HidDevice&, int) {});
    EXPECT_EQ(controller.devThreadSleepTime(), 100);
    WAIT_UNTIL_EQ(controller.scanCount(), 1, 5000);
    HidDevice* d = controller.deviceAt(0);
    EXPECT_TRUE(d->hasDataHandler());
    EXPECT_TRUE(d->hasUnplugHandler());
    EXPECT_FALSE(d->hasReadErrorHandler()) << "new devices start without a ReadErrorHandler";
    EXPECT_FALSE(d->hasReader());
}

TEST_F(ControllerTest, AStopIsSeenWithinOneSliceEvenWhileNothingArrives) {
    bus.plug(meterInfo());
    HidDeviceController controller(bus);
    WAIT_UNTIL_EQ(controller.scanCount(), 1, 5000);
    HidDevice* meter = controller.claimDevice();
    // Ten seconds a slice: a stop that waited for the slice to end would count one run out.
    meter->setReadWaitSlice(HidDevice::kMaxReadWaitSlice);
    meter->setDataHandler([](HidDevice&, uint8_t, const uint8_t*, uint16_t) {});
    WAIT_UNTIL(bus.openHandleCount(1, HidOpenMode::Read) == 1, 5000);
    meter->setDataHandler(nullptr);
    EXPECT_FALSE(meter->hasReader());
    EXPECT_EQ(meter->readSlicesRunOut(), 0u) << "the stop did not wait for the slice to run out";
    controller.returnDevice(meter);
}

TEST_F(ControllerTest, AnUnplugMarksTheDeviceGoneBeforeItClosesItsHandles) {
    // Otherwise a reader woken by the close could open the path again, where a device attached
    // meanwhile may sit.
    auto model = std::make_shared<RecordingModel>();
    SimulatedDeviceInfo info = meterInfo();
    info.path = QStringLiteral("/dev/hidraw0");
    const auto id = bus.plug(info, model);
    HidDeviceController controller(bus);
    WAIT_UNTIL_EQ(controller.scanCount(), 1, 5000);
    HidDevice* meter = controller.claimDevice();
    meter->setDataHandler([](HidDevice&, uint8_t, const uint8_t*, uint16_t) {});
    WAIT_UNTIL(bus.openHandleCount(id, HidOpenMode::Read) == 1, 5000);
    std::vector<bool> presentAtClose;
    bus.setCloseObserver(id, [&](HidOpenMode mode) {
        if (mode == HidOpenMode::Read) {
            presentAtClose.push_back(meter->isPresent());
        }
    });
    controller.setOnRemoval([](HidDevice& d) { d.setDataHandler(nullptr); });
    bus.unplug(id);
    const auto newcomer = bus.plug(info); // takes the same path
    WAIT_UNTIL(controller.deviceCount() == 2, 5000);
    EXPECT_EQ(presentAtClose, std::vector<bool>{false});
    EXPECT_EQ(bus.openHandleCount(newcomer), 0) << "the old reader never opened the newcomer";
    controller.returnDevice(meter);
}

TEST_F(ControllerTest, ADeviceWithoutAUsableInputReportLengthGetsNoReader) {
    SimulatedDeviceInfo info = otherInfo(0x42);
    info.caps.inputReportByteLength =
        0; // none, or a descriptor whose reports hidraw cannot deliver
    bus.plug(info);
    HidDeviceController controller(bus);
    WAIT_UNTIL_EQ(controller.scanCount(), 1, 5000);
    HidDevice* device = controller.claimDevice();
    ASSERT_NE(device, nullptr);
    EXPECT_TRUE(device->openedReadWrite());
    device->setDataHandler([](HidDevice&, uint8_t, const uint8_t*, uint16_t) {});
    EXPECT_FALSE(device->hasReader());
    controller.returnDevice(device);
}

TEST_F(ControllerTest, AWriteToADeviceOpenedWithoutAccessFailsWithTheOpenError) {
    SimulatedDeviceInfo info = meterInfo();
    info.openableReadWrite = false; // no udev rule gives the user the device
    auto model = std::make_shared<RecordingModel>();
    bus.plug(info, model);
    HidDeviceController controller(bus);
    WAIT_UNTIL_EQ(controller.scanCount(), 1, 5000);
    HidDevice* meter = controller.claimDevice();
    ASSERT_NE(meter, nullptr);
    EXPECT_FALSE(meter->openedReadWrite());
    EXPECT_EQ(meter->openError(), EACCES);
    EXPECT_EQ(meter->productString(), QStringLiteral("ZR6040 Octane Meter"));
    const WriteResult result = meter->writeReport(meterReport(0).data(), 65);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.errorCode, EACCES) << "not EBADF from the query-only handle";
    EXPECT_TRUE(model->outputs.empty());
    controller.returnDevice(meter);
}
