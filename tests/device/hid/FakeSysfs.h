#pragma once

// Fake sysfs trees of hidraw nodes for the Linux back end, and a Linux platform that lists such
// nodes and refuses to open their device files the way the system refuses a user without access.

#include "device/hid/linux/LinuxHidPlatform.h"

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace zr::hid::test {

namespace fs = std::filesystem;

inline void write(const fs::path& file, const std::string& text) {
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << text;
}

inline const std::string kDescriptor = std::string(
    "\x06\x00\xFF\x09\x01\xA1\x01\x19\x01\x29\x40\x15\x01\x25\x40\x75\x08\x95\x40\x81\x00\x19\x01"
    "\x29\x40\x91\x00\xC0",
    28);

// A USB meter: …/usb1/1-1 (usb_device) / 1-1:1.0 (interface) / 0003:04D7:013F.0001 (HID) /
// hidraw/hidraw0.
inline fs::path makeUsbTree(const fs::path& root) {
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
inline fs::path makeUhidTree(const fs::path& root, bool withUniq) {
    const fs::path hid = root / "devices/virtual/misc/uhid/0003:04D7:013F.0002";
    write(hid / "uevent", std::string("HID_ID=0003:000004D7:0000013F\nHID_NAME=zr6040-virtual\n") +
                              (withUniq ? "HID_UNIQ=SIM-42\n" : ""));
    write(hid / "report_descriptor", kDescriptor);
    const fs::path hidraw = hid / "hidraw/hidraw1";
    write(hidraw / "dev", "243:1\n");
    fs::create_directory_symlink("../../../0003:04D7:013F.0002", hidraw / "device");
    return hidraw;
}

inline HidInterfaceInfo interfaceAt(const fs::path& syspath) {
    HidInterfaceInfo info;
    info.identity = QString::fromStdString(syspath.string());
    info.path = QStringLiteral("/nonexistent/hidraw");
    return info;
}

// The Linux back end over fake trees: enumerate() lists the given nodes, and every open of a
// device file fails with `openError` (tests run as root, for whom file modes deny nothing).
class RefusingLinuxPlatform : public LinuxHidPlatform {
public:
    explicit RefusingLinuxPlatform(std::vector<HidInterfaceInfo> nodes, int error = EACCES)
        : LinuxHidPlatform(nullptr, MonitorSource::None), nodes_(std::move(nodes)),
          openError_(error) {}

    std::vector<HidInterfaceInfo> enumerate() override { return nodes_; }
    // Replaces the nodes and raises the change notice, as an attach or removal would.
    void setNodes(std::vector<HidInterfaceInfo> nodes) {
        nodes_ = std::move(nodes);
        emit devicesChanged();
    }

protected:
    int openNode(const char*, int) override {
        errno = openError_;
        return -1;
    }

private:
    std::vector<HidInterfaceInfo> nodes_;
    int openError_;
};

} // namespace zr::hid::test
