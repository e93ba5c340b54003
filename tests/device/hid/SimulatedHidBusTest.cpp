// The simulated HID bus as a platform: enumeration, notices, handles, queues, models.

#include "HidTestSupport.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

#include <cerrno>

using namespace zr::hid;
using namespace zr::hid::test;

TEST(SimulatedHidBus, PlugAndUnplugRaiseOneNoticeEachFromTheEventLoop) {
    SimulatedHidBus bus;
    QSignalSpy spy(&bus, &HidPlatform::devicesChanged);
    const auto a = bus.plug(meterInfo());
    const auto b = bus.plug(otherInfo(2));
    EXPECT_EQ(spy.count(), 0) << "never raised inside plug()";
    WAIT_PAST_POSTED_EVENTS(); // one notice each, no more
    EXPECT_EQ(spy.count(), 2);
    EXPECT_EQ(bus.pluggedDevices(), (std::vector<SimulatedDeviceId>{a, b}));
    EXPECT_TRUE(bus.unplug(a));
    EXPECT_FALSE(bus.unplug(a));
    WAIT_PAST_POSTED_EVENTS();
    EXPECT_EQ(spy.count(), 3);
    const auto list = bus.enumerate();
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].identity, QStringLiteral("sim:2"));
    EXPECT_EQ(list[0].path, QStringLiteral("/dev/simhid2"));
}

TEST(SimulatedHidBus, ANoticeFromAnotherThreadArrivesOnTheBusThread) {
    SimulatedHidBus bus;
    QThread* seenOn = nullptr;
    QObject::connect(&bus, &HidPlatform::devicesChanged,
                     [&] { seenOn = QThread::currentThread(); });
    std::thread other([&] { bus.plug(meterInfo()); });
    other.join();
    WAIT_UNTIL(seenOn != nullptr, 5000);
    EXPECT_EQ(seenOn, qApp->thread());
}

TEST(SimulatedHidBus, OpenModesAndAccess) {
    SimulatedHidBus bus;
    SimulatedDeviceInfo locked = otherInfo(3);
    locked.openableReadWrite = false;
    bus.plug(meterInfo());
    bus.plug(locked);
    const auto list = bus.enumerate();
    int error = 0;
    EXPECT_NE(bus.open(list[0], HidOpenMode::ReadWrite, &error), nullptr);
    EXPECT_EQ(bus.open(list[1], HidOpenMode::ReadWrite, &error), nullptr);
    EXPECT_EQ(error, EACCES);
    auto query = bus.open(list[1], HidOpenMode::QueryOnly, &error);
    ASSERT_NE(query, nullptr);
    EXPECT_FALSE(query->isReadWrite());
    EXPECT_EQ(query->queueDepth(), 0);
    EXPECT_EQ(query->attributes()->productId, 3);
    const uint8_t report[2] = {0, 1};
    EXPECT_EQ(query->write(report, 2).errorCode, EBADF);
    HidInterfaceInfo missing;
    missing.identity = "sim:99";
    EXPECT_EQ(bus.open(missing, HidOpenMode::QueryOnly, &error), nullptr);
    EXPECT_EQ(error, ENOENT);
}

TEST(SimulatedHidBus, ReportsMustBeFullLengthWithTheRightId) {
    SimulatedHidBus bus;
    const auto id = bus.plug(meterInfo());
    auto port = bus.inputPort(id);
    ASSERT_NE(port, nullptr);
    EXPECT_FALSE(port->pushInputReport(std::vector<uint8_t>(64, 0))) << "short reports are dropped";
    EXPECT_FALSE(port->pushInputReport(std::vector<uint8_t>(66, 0)));
    auto report = meterReport(0);
    report[0] = 3;
    EXPECT_FALSE(port->pushInputReport(report)) << "an unnumbered device sends ID 0";
    EXPECT_TRUE(port->pushInputReport(meterReport(0)));
    bus.unplug(id);
    EXPECT_FALSE(port->isPlugged());
    EXPECT_FALSE(port->pushInputReport(meterReport(0)));
    EXPECT_EQ(bus.inputPort(id), nullptr);
}

TEST(SimulatedHidBus, EveryOpenHandleKeepsItsOwnQueueThatDropsItsOldestReport) {
    SimulatedHidBus bus;
    const auto id = bus.plug(meterInfo());
    auto port = bus.inputPort(id);
    EXPECT_TRUE(port->pushInputReport(meterReport(0))) << "accepted, but lost: no handle is open";
    const auto info = bus.enumerate().at(0);
    auto first = bus.open(info, HidOpenMode::Read);
    auto second = bus.open(info, HidOpenMode::ReadWrite);
    EXPECT_EQ(first->queueDepth(), SimulatedHidBus::kDefaultQueueDepth);
    EXPECT_FALSE(first->setQueueDepth(1));
    EXPECT_FALSE(first->setQueueDepth(513));
    EXPECT_TRUE(first->setQueueDepth(2));
    EXPECT_EQ(first->queueDepth(), 2);
    for (uint8_t i = 1; i <= 3; ++i) {
        ASSERT_TRUE(port->pushInputReport(meterReport(i)));
    }
    EXPECT_EQ(port->pendingReports(), 3u);
    std::vector<uint8_t> buffer(65);
    auto r = first->read(buffer.data(), buffer.size(), 0);
    ASSERT_EQ(r.status, HidReadResult::Status::Data);
    EXPECT_EQ(r.length, 65u);
    EXPECT_EQ(buffer[1], 3) << "the oldest report (fill 1) was dropped";
    r = first->read(buffer.data(), buffer.size(), 0);
    EXPECT_EQ(buffer[1], 4);
    EXPECT_EQ(first->read(buffer.data(), buffer.size(), 0).status, HidReadResult::Status::Timeout);
    r = second->read(buffer.data(), buffer.size(), 0);
    EXPECT_EQ(buffer[1], 2) << "the second handle has its own queue of 32";
}

TEST(SimulatedHidBus, CancelCloseAndUnplugEndAWaitingRead) {
    SimulatedHidBus bus;
    const auto id = bus.plug(meterInfo());
    const auto info = bus.enumerate().at(0);
    auto handle = bus.open(info, HidOpenMode::Read);
    std::vector<uint8_t> buffer(65);
    HidReadResult r;
    std::thread reader([&] { r = handle->read(buffer.data(), buffer.size(), 10000); });
    WAIT_UNTIL_EQ(bus.waitingReadCount(id), 1, 5000);
    handle->cancelRead();
    reader.join();
    EXPECT_EQ(r.status, HidReadResult::Status::Cancelled);

    std::thread reader2([&] { r = handle->read(buffer.data(), buffer.size(), 10000); });
    WAIT_UNTIL_EQ(bus.waitingReadCount(id), 1, 5000);
    bus.unplug(id);
    reader2.join();
    EXPECT_EQ(r.status, HidReadResult::Status::Failed);
    EXPECT_EQ(r.errorCode, ENODEV);
    const uint8_t out[65] = {};
    EXPECT_EQ(handle->write(out, 65).errorCode, EBADF) << "a Read handle cannot write";
    handle->close();
    EXPECT_EQ(handle->read(buffer.data(), buffer.size(), 0).status,
              HidReadResult::Status::Cancelled);
    EXPECT_EQ(bus.openHandleCount(id), 0);
}

TEST(SimulatedHidBus, ModelsReceiveWritesAndAreAttachedAndDetached) {
    auto model = std::make_shared<RecordingModel>();
    {
        SimulatedHidBus bus;
        const auto id = bus.plug(meterInfo(), model);
        EXPECT_EQ(model->attachCount, 1);
        ASSERT_NE(model->port, nullptr);
        EXPECT_EQ(model->port->id(), id);
        auto handle = bus.open(bus.enumerate().at(0), HidOpenMode::ReadWrite);
        std::vector<uint8_t> out(65, 0);
        out[1] = 0x21;
        const WriteResult w = handle->write(out.data(), out.size());
        EXPECT_TRUE(w.ok);
        EXPECT_EQ(w.bytesWritten, 65u);
        ASSERT_EQ(model->outputs.size(), 1u);
        EXPECT_EQ(model->outputs[0], out);
        EXPECT_EQ(handle->write(out.data(), 66).errorCode, EINVAL);
        EXPECT_EQ(handle->write(out.data(), 0).errorCode, EINVAL);
        EXPECT_EQ(model->detachCount, 0);
    }
    EXPECT_EQ(model->detachCount, 1) << "the bus's destruction detaches its models";
    EXPECT_FALSE(model->port->isPlugged());
}

TEST(SimulatedHidBus, UnavailableBusListsNothing) {
    SimulatedHidBus bus;
    bus.plug(meterInfo());
    bus.setAvailable(false);
    EXPECT_FALSE(bus.isAvailable());
    EXPECT_TRUE(bus.enumerate().empty());
    bus.setAvailable(true);
    EXPECT_EQ(bus.enumerate().size(), 1u);
    EXPECT_EQ(bus.enumerateCount(), 2);
}

TEST(SimulatedHidBus, AnUnpluggedDeviceIsForgottenOnceItsLastHandleCloses) {
    SimulatedHidBus bus;
    const auto held = bus.plug(meterInfo());
    auto handle = bus.open(bus.enumerate().front(), HidOpenMode::Read);
    ASSERT_NE(handle, nullptr);
    bus.unplug(held);
    EXPECT_EQ(bus.knownDeviceCount(), 1u) << "a handle still holds it";
    handle->close();
    EXPECT_EQ(bus.knownDeviceCount(), 1u) << "closed, but the object still exists";
    handle.reset();
    EXPECT_EQ(bus.knownDeviceCount(), 0u);

    // Many plug/unplug pairs leave nothing behind, so scans and opens do not slow down.
    for (int i = 0; i < 10000; ++i) {
        bus.unplug(bus.plug(otherInfo(static_cast<uint16_t>(i))));
    }
    EXPECT_EQ(bus.knownDeviceCount(), 0u);
    const auto kept = bus.plug(meterInfo());
    EXPECT_EQ(bus.knownDeviceCount(), 1u);
    EXPECT_EQ(bus.enumerate().size(), 1u);
    EXPECT_TRUE(bus.isPlugged(kept));
}
