// The Linux back end's sysfs side (identity, strings and descriptor of a hidraw node that cannot
// be opened) on fake sysfs trees, for a USB device and for a device without a USB parent.

#include "device/hid/FakeSysfs.h"
#include "device/hid/HidDeviceController.h"
#include "device/hid/HidTestSupport.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fstream>

using namespace zr::hid;
using namespace zr::hid::test;
namespace fs = std::filesystem;

TEST(LinuxSysfs, ParsesHidId) {
    const auto ids = linux_sysfs::parseHidId("0003:000004D7:0000013F");
    ASSERT_TRUE(ids);
    EXPECT_EQ(ids->first, 0x04D7);
    EXPECT_EQ(ids->second, 0x013F);
    EXPECT_FALSE(linux_sysfs::parseHidId("garbage"));
}

TEST(LinuxSysfs, AUsbDeviceThatCannotBeOpenedIsQueriedThroughSysfs) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const fs::path hidraw = makeUsbTree(dir.path().toStdString());
    const auto sysfs = linux_sysfs::HidrawSysfs::locate(hidraw);
    ASSERT_TRUE(sysfs);
    ASSERT_TRUE(sysfs->usbDeviceDir);
    EXPECT_EQ(sysfs->usbDeviceDir->filename(), "1-1");

    LinuxHidPlatform platform(nullptr, LinuxHidPlatform::MonitorSource::None);
    int error = 0;
    EXPECT_EQ(platform.open(interfaceAt(hidraw), HidOpenMode::ReadWrite, &error), nullptr);
    EXPECT_EQ(error, ENOENT);
    auto handle = platform.open(interfaceAt(hidraw), HidOpenMode::QueryOnly, &error);
    ASSERT_NE(handle, nullptr);
    EXPECT_FALSE(handle->isReadWrite());
    const auto attributes = handle->attributes();
    ASSERT_TRUE(attributes);
    EXPECT_EQ(*attributes, (HidAttributes{0x04D7, 0x013F, 0x0102}));
    EXPECT_EQ(handle->productString(), QStringLiteral("ZR6040")) << "the USB parent's string";
    EXPECT_EQ(handle->serialString(), QStringLiteral("A1B2"));
    const auto caps = handle->capabilities();
    ASSERT_TRUE(caps);
    EXPECT_EQ(caps->inputReportByteLength, 65);
    EXPECT_EQ(caps->outputReportByteLength, 65);
    EXPECT_FALSE(caps->numberedReports);
    EXPECT_EQ(handle->queueDepth(), 0);
    const uint8_t report[65] = {};
    EXPECT_EQ(handle->write(report, 65).errorCode, EBADF);

    fs::remove(sysfs->usbDeviceDir.value() / "serial");
    EXPECT_EQ(handle->serialString(), QString()) << "empty when absent";
    handle->close();
    EXPECT_FALSE(handle->attributes());
}

TEST(LinuxSysfs, WithoutAUsbParentStringsComeFromTheHidDevice) {
    QTemporaryDir dir;
    const fs::path hidraw = makeUhidTree(dir.path().toStdString(), true);
    LinuxHidPlatform platform(nullptr, LinuxHidPlatform::MonitorSource::None);
    auto handle = platform.open(interfaceAt(hidraw), HidOpenMode::QueryOnly);
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(handle->attributes(), (HidAttributes{0x04D7, 0x013F, 0}));
    EXPECT_EQ(handle->productString(), QStringLiteral("zr6040-virtual"));
    EXPECT_EQ(handle->serialString(), QStringLiteral("SIM-42"));

    const fs::path bare = makeUhidTree(fs::path(dir.path().toStdString()) / "other", false);
    auto second = platform.open(interfaceAt(bare), HidOpenMode::QueryOnly);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->serialString(), QString());
}

TEST(LinuxSysfs, AGoneDeviceCannotBeOpened) {
    QTemporaryDir dir;
    const fs::path hidraw = makeUhidTree(dir.path().toStdString(), true);
    fs::remove_all(hidraw);
    LinuxHidPlatform platform(nullptr, LinuxHidPlatform::MonitorSource::None);
    int error = 0;
    EXPECT_EQ(platform.open(interfaceAt(hidraw), HidOpenMode::QueryOnly, &error), nullptr);
    EXPECT_EQ(error, ENODEV);
}

TEST(LinuxHidPlatform, EnumeratesAndMonitorsWithoutFailingOnAMachineWithoutHidraw) {
    LinuxHidPlatform platform;
    EXPECT_TRUE(platform.isAvailable());
    // This machine's kernel may have no hidraw devices; every entry found must be a hidraw node.
    for (const HidInterfaceInfo& info : platform.enumerate()) {
        EXPECT_TRUE(info.identity.contains(QStringLiteral("/hidraw/")))
            << info.identity.toStdString();
        EXPECT_TRUE(info.path.startsWith(QStringLiteral("/dev/")));
    }
}

TEST(LinuxSysfs, ADescriptorWithAReportHidrawCannotDeliverGivesNoCapabilities) {
    QTemporaryDir dir;
    const fs::path hidraw = makeUsbTree(dir.path().toStdString());
    // Report Size 0xFFFFFFFF, Count 1, Input: a 32-bit sum made this one byte long.
    write(hidraw / "device/report_descriptor",
          std::string("\x77\xFF\xFF\xFF\xFF\x95\x01\x81\x02", 9));
    LinuxHidPlatform platform(nullptr, LinuxHidPlatform::MonitorSource::None);
    auto handle = platform.open(interfaceAt(hidraw), HidOpenMode::QueryOnly);
    ASSERT_NE(handle, nullptr);
    EXPECT_TRUE(handle->attributes()) << "still identified, so still listed";
    EXPECT_FALSE(handle->capabilities());
}

TEST(LinuxSysfs, AMeterTheUserMayNotOpenIsListedAndWritesFailWithTheOpenError) {
    QTemporaryDir dir;
    const fs::path hidraw = makeUsbTree(dir.path().toStdString());
    HidInterfaceInfo node = interfaceAt(hidraw);
    node.path = QStringLiteral("/dev/hidraw0");
    RefusingLinuxPlatform platform({node}, EACCES);
    HidDeviceController controller(platform);
    WAIT_UNTIL_EQ(controller.scanCount(), 1, 5000);
    ASSERT_EQ(controller.deviceCount(), 1);
    HidDevice* meter = controller.claimDevice();
    ASSERT_NE(meter, nullptr);
    EXPECT_EQ(meter->vendorId(), 0x04D7);
    EXPECT_EQ(meter->productId(), 0x013F);
    EXPECT_FALSE(meter->openedReadWrite());
    EXPECT_EQ(meter->openError(), EACCES);
    EXPECT_EQ(meter->productString(), QStringLiteral("ZR6040"));
    EXPECT_EQ(meter->capabilities().outputReportByteLength, 65);
    meter->setDataHandler([](HidDevice&, uint8_t, const uint8_t*, uint16_t) {});
    EXPECT_FALSE(meter->hasReader());
    const std::vector<uint8_t> report(65, 0);
    const WriteResult result = meter->writeReport(report.data(), report.size());
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.errorCode, EACCES) << "the open error, not EBADF of the query-only handle";
    controller.returnDevice(meter);
}
