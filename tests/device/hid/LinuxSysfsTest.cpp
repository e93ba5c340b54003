// The Linux back end's sysfs side (identity, strings and descriptor of a hidraw node that cannot
// be opened) on fake sysfs trees, for a USB device and for a device without a USB parent.

#include "device/hid/linux/LinuxHidPlatform.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fstream>

using namespace zr::hid;
namespace fs = std::filesystem;

namespace {

void write(const fs::path& file, const std::string& text) {
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << text;
}

const std::string kDescriptor = std::string(
    "\x06\x00\xFF\x09\x01\xA1\x01\x19\x01\x29\x40\x15\x01\x25\x40\x75\x08\x95\x40\x81\x00\x19\x01"
    "\x29\x40\x91\x00\xC0",
    28);

// A USB meter: …/usb1/1-1 (usb_device) / 1-1:1.0 (interface) / 0003:04D7:013F.0001 (HID) /
// hidraw/hidraw0.
fs::path makeUsbTree(const fs::path& root) {
    const fs::path usb = root / "devices/pci0000:00/0000:00:14.0/usb1/1-1";
    write(usb / "idVendor", "04d7\n");
    write(usb / "idProduct", "013f\n");
    write(usb / "bcdDevice", "0102\n");
    write(usb / "product", "ZR6040\n");
    write(usb / "serial", "A1B2\n");
    const fs::path iface = usb / "1-1:1.0";
    write(iface / "bInterfaceNumber", "00\n");
    const fs::path hid = iface / "0003:04D7:013F.0001";
    write(hid / "uevent", "DRIVER=hid-generic\nHID_ID=0003:000004D7:0000013F\nHID_NAME=Oki ZR6040\n"
                          "HID_PHYS=usb-0000:00:14.0-1/input0\nHID_UNIQ=A1B2\n");
    write(hid / "report_descriptor", kDescriptor);
    const fs::path hidraw = hid / "hidraw/hidraw0";
    write(hidraw / "dev", "243:0\n");
    fs::create_directory_symlink("../../../0003:04D7:013F.0001", hidraw / "device");
    return hidraw;
}

// A uhid device: no USB parent; product and serial from HID_NAME and HID_UNIQ.
fs::path makeUhidTree(const fs::path& root, bool withUniq) {
    const fs::path hid = root / "devices/virtual/misc/uhid/0003:04D7:013F.0002";
    write(hid / "uevent", std::string("HID_ID=0003:000004D7:0000013F\nHID_NAME=zr6040-virtual\n") +
                              (withUniq ? "HID_UNIQ=SIM-42\n" : ""));
    write(hid / "report_descriptor", kDescriptor);
    const fs::path hidraw = hid / "hidraw/hidraw1";
    write(hidraw / "dev", "243:1\n");
    fs::create_directory_symlink("../../../0003:04D7:013F.0002", hidraw / "device");
    return hidraw;
}

HidInterfaceInfo interfaceAt(const fs::path& syspath) {
    HidInterfaceInfo info;
    info.identity = QString::fromStdString(syspath.string());
    info.path = QStringLiteral("/nonexistent/hidraw");
    return info;
}

} // namespace

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
