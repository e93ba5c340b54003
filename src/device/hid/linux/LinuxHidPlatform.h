#pragma once

// The Linux back end of HidPlatform: libudev enumerates the `hidraw` subsystem and monitors it
// (a udev monitor whose socket is watched on the main thread); /dev/hidrawN is opened read-write
// (or, when that is refused, only its sysfs entries are used for queries); attributes come from
// HIDIOCGRAWINFO (sysfs HID_ID when not openable) and the USB parent's bcdDevice; product and
// serial strings from the USB parent's sysfs attributes (HID_NAME / HID_UNIQ of the HID device
// when there is no USB parent, e.g. uhid or Bluetooth); report lengths and numbered-ness from the
// parsed report descriptor. Reads poll() for one wait slice, then read().
//
// Framing: hidraw's write() already takes the report ID in byte 0 for every device (0 for
// devices without numbered reports; the kernel's transport drops that 0 byte before the wire),
// so writes pass through unchanged. hidraw's read() returns reports of devices without numbered
// reports without an ID byte: the back end puts the 0 ID byte in front.

#include "device/hid/HidPlatform.h"

#include <QString>

#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>

struct udev;
struct udev_monitor;
class QSocketNotifier;

namespace zr::hid {

class LinuxHidPlatform : public HidPlatform {
    Q_OBJECT
public:
    // hidraw keeps a fixed ring of HIDRAW_BUFFER_SIZE (64) reports per open file; it cannot be
    // changed. This is the queue depth read back for every open handle.
    static constexpr int kHidrawQueueDepth = 64;

    // Where the device-change notices come from: udev's rebroadcast events (after udevd has
    // applied rules and permissions), or the kernel's own uevents where no udev daemon runs.
    enum class MonitorSource { Automatic, Udev, Kernel, None };

    explicit LinuxHidPlatform(QObject* parent = nullptr,
                              MonitorSource source = MonitorSource::Automatic);
    ~LinuxHidPlatform() override;

    LinuxHidPlatform(const LinuxHidPlatform&) = delete;
    LinuxHidPlatform& operator=(const LinuxHidPlatform&) = delete;

    // The source in use (None when no monitor could be set up).
    MonitorSource monitorSource() const { return monitorSource_; }

    bool isAvailable() const override;
    std::vector<HidInterfaceInfo> enumerate() override;
    // Thread-safe (the reader thread opens its read handle itself).
    std::unique_ptr<HidHandle> open(const HidInterfaceInfo& info, HidOpenMode mode,
                                    int* errorCode = nullptr) override;

    // true when a udev daemon runs (its control socket exists).
    static bool udevDaemonRunning();

protected:
    // Opens a device node (::open); the seam through which tests refuse an open as the system
    // would. Thread-safe. -1 with errno on failure.
    virtual int openNode(const char* path, int flags);

private:
    void onMonitorReadable();

    udev* udev_ = nullptr;
    udev_monitor* monitor_ = nullptr;
    QSocketNotifier* notifier_ = nullptr;
    MonitorSource monitorSource_ = MonitorSource::None;
};

// Sysfs access used by the Linux back end; separate so that it can be tested on a fake tree.
namespace linux_sysfs {

// KEY=value lines of a uevent file; empty when unreadable.
std::map<std::string, std::string> readUevent(const std::filesystem::path& file);
// The first line of a sysfs attribute, without the line end; nullopt when absent.
std::optional<std::string> readAttribute(const std::filesystem::path& file);
// HID_ID=BBBB:VVVVVVVV:PPPPPPPP -> vendor, product.
std::optional<std::pair<uint16_t, uint16_t>> parseHidId(const std::string& hidId);

// What sysfs tells about one hidraw node, given its syspath
// (…/0003:04D7:013F.0001/hidraw/hidraw0).
struct HidrawSysfs {
    std::filesystem::path hidrawDir; // the syspath
    std::filesystem::path hidDir;    // the HID device (hidrawDir/device, resolved)
    std::optional<std::filesystem::path> usbDeviceDir; // the USB parent (usb_device), if any

    // nullopt when the syspath or its HID device is gone.
    static std::optional<HidrawSysfs> locate(const std::filesystem::path& syspath);

    std::optional<std::pair<uint16_t, uint16_t>> vendorProduct() const; // HID_ID
    uint16_t version() const; // the USB parent's bcdDevice; 0 without a USB parent
    std::optional<QString> product() const;
    std::optional<QString> serial() const;
    std::optional<std::vector<uint8_t>> reportDescriptor() const;
};

} // namespace linux_sysfs

} // namespace zr::hid
