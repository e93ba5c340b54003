// A meter the user may not open read-write (no udev rule), through the Linux back end on a fake
// sysfs tree: it is still named, the log carries the open error, and the failure is told once per
// arrival.

#include "device/connection/MeterConnection.h"
#include "device/hid/FakeSysfs.h"
#include "device/hid/HidDeviceController.h"
#include "device/hid/HidTestSupport.h"
#include "device/protocol/CommandSender.h"
#include "support/CLocaleMessages.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace zr;
using namespace zr::hid::test;

namespace {

struct Told {
    std::vector<connection::MeterFacts> attached;
    std::vector<connection::MeterAccessFailure> notAccessible;
};

hid::HidInterfaceInfo node(const fs::path& syspath, const QString& devnode) {
    hid::HidInterfaceInfo info = interfaceAt(syspath);
    info.path = devnode;
    return info;
}

} // namespace

TEST(MeterAccess, AMeterThatCannotBeOpenedIsNamedLoggedWithItsOpenErrorAndToldOncePerArrival) {
    zr::test::CLocaleMessages english;
    QTemporaryDir dir;
    const fs::path meterNode = makeUsbTree(dir.path().toStdString());
    const fs::path otherNode = makeUhidTree(fs::path(dir.path().toStdString()) / "other", true);
    write(otherNode / "device/uevent", "HID_ID=0003:0000046D:0000C077\nHID_NAME=Mouse\n");
    RefusingLinuxPlatform platform({node(meterNode, QStringLiteral("/dev/hidraw0"))}, EACCES);
    hid::HidDeviceController controller(platform);
    connection::SharedState state;
    Told told;
    connection::MeterConnection meter(
        controller, state,
        {[](hid::HidDevice&, std::uint8_t, const std::uint8_t*, std::uint16_t) {},
         [&](const connection::MeterFacts& facts) { told.attached.push_back(facts); }, [] {},
         [&](const connection::MeterFacts&, const connection::MeterAccessFailure& failure) {
             told.notAccessible.push_back(failure);
         }});
    controller.setOnArrival([&](hid::HidDevice&) { meter.deviceArrived(); });
    controller.setOnRemoval([&](hid::HidDevice& d) { meter.deviceRemoved(d); });
    WAIT_UNTIL_EQ(controller.scanCount(), 1, 5000);

    ASSERT_TRUE(meter.connected());
    ASSERT_EQ(told.attached.size(), 1u);
    EXPECT_EQ(told.attached[0].productName, QStringLiteral("ZR6040")) << "it is named";
    EXPECT_EQ(told.attached[0].devicePath, QStringLiteral("/dev/hidraw0"));
    EXPECT_FALSE(told.attached[0].readWrite);
    const connection::MeterAccessFailure denied{connection::MeterAccessFailure::Cause::NoPermission,
                                                EACCES};
    EXPECT_EQ(told.notAccessible, std::vector<connection::MeterAccessFailure>{denied});

    std::vector<std::string> log;
    protocol::CommandSender sender(
        meter, [&](const std::string& line) { log.push_back(line); }, [] {});
    sender.selectMethod(2);
    ASSERT_EQ(log.size(), 4u);
    EXPECT_EQ(log[1], "0 = WRITE ERROR: Permission denied (D)");

    // Another device arriving claims the meter again: nothing new is told.
    platform.setNodes({node(meterNode, QStringLiteral("/dev/hidraw0")),
                       node(otherNode, QStringLiteral("/dev/hidraw1"))});
    WAIT_UNTIL_EQ(controller.scanCount(), 2, 5000);
    EXPECT_EQ(told.attached.size(), 2u);
    EXPECT_EQ(told.notAccessible.size(), 1u);

    // The meter removed and attached again: a new arrival, told again.
    platform.setNodes({node(otherNode, QStringLiteral("/dev/hidraw1"))});
    WAIT_UNTIL_EQ(controller.scanCount(), 3, 5000);
    EXPECT_FALSE(meter.connected());
    platform.setNodes({node(otherNode, QStringLiteral("/dev/hidraw1")),
                       node(meterNode, QStringLiteral("/dev/hidraw0"))});
    WAIT_UNTIL_EQ(controller.scanCount(), 4, 5000);
    EXPECT_TRUE(meter.connected());
    EXPECT_EQ(told.notAccessible.size(), 2u);
}
