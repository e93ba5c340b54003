#pragma once

#include "device/hid/HidControllerError.h"
#include "device/hid/HidDevice.h"
#include "device/hid/HidPlatform.h"

#include <QObject>
#include <QPointer>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace zr::hid {

// The HID controller (HidController): keeps the list of HID devices present,
// raises OnArrival / OnRemoval / OnDeviceChange on the main thread, hands devices out.
// Lives on the main thread; every member is for the main thread.
class HidDeviceController : public QObject {
    Q_OBJECT
public:
    using DeviceEvent = std::function<void(HidDevice& device)>;
    using ControllerEvent = std::function<void(HidDeviceController& controller)>;

    // Queues the first device scan (a posted event: it runs once the event loop runs) when the
    // platform's HID services are available; otherwise the controller never reports a device.
    explicit HidDeviceController(HidPlatform& platform, QObject* parent = nullptr);
    // Clears the events and frees every device it made. Devices still claimed are returned
    // first: their readers are stopped (before the unplug, so that they report no failed reads
    // on the way out) and they are unplugged (their UnplugHandler runs).
    ~HidDeviceController() override;

    HidDeviceController(const HidDeviceController&) = delete;
    HidDeviceController& operator=(const HidDeviceController&) = delete;

    // Events, raised on the main thread.
    void setOnArrival(DeviceEvent handler) { onArrival_ = std::move(handler); }
    void setOnRemoval(DeviceEvent handler) { onRemoval_ = std::move(handler); }
    void setOnDeviceChange(ControllerEvent handler) { onDeviceChange_ = std::move(handler); }

    // Defaults given to every new device: OnDeviceData becomes its DataHandler, OnDeviceUnplug
    // its UnplugHandler. OnDeviceDataError is kept but new devices start without one.
    void setOnDeviceData(HidDevice::DataHandler handler) { onDeviceData_ = std::move(handler); }
    void setOnDeviceUnplug(HidDevice::UnplugHandler handler) {
        onDeviceUnplug_ = std::move(handler);
    }
    void setOnDeviceDataError(HidDevice::ReadErrorHandler handler) {
        onDeviceDataError_ = std::move(handler);
    }

    // Wait slice new devices start with (DevThreadSleepTime, 100 ms).
    int devThreadSleepTime() const { return devThreadSleepTime_; }

    // The first device in list order that is not claimed, now claimed (its reader started if it
    // has a DataHandler and read-write access); nullptr when every device is claimed.
    HidDevice* claimDevice();
    // The same for one list index; nullptr for an index outside the list or a claimed device.
    HidDevice* claimDeviceAt(int index);
    // Gives a claimed device back: its reader is stopped (waiting for its end), its handles are
    // closed and the object is destroyed. While the device is attached, a fresh unclaimed copy
    // keeping its DataHandler, UnplugHandler and ReadWaitSlice takes its list position;
    // otherwise it leaves the list. Ignores nullptr, devices of another controller and devices
    // that are not claimed. May be called from inside the device's own handlers.
    void returnDevice(HidDevice* device);

    int deviceCount() const { return static_cast<int>(devices_.size()); }
    HidDevice* deviceAt(int index) const;
    int indexOf(const HidDevice* device) const;

    HidPlatform& platform() const { return *platform_; }
    bool isScanning() const { return inScan_; }
    // Number of device scans run so far.
    int scanCount() const { return scanCount_; }

private:
    // A change of the devices present: runs a scan unless one is in progress, during which the
    // notice is dropped. The first scan always counts as a change.
    void deviceChangeNotice(bool firstScan);
    void deviceChange(bool firstScan); // the device scan
    std::unique_ptr<HidDevice> createDevice(const HidInterfaceInfo& info);
    bool claim(HidDevice* device);
    // Takes a device out of the list and destroys it.
    void removeAt(int index);

    HidPlatform* platform_;
    // Every device object the controller made, claimed or not, in list order.
    std::vector<std::unique_ptr<HidDevice>> devices_;
    int devThreadSleepTime_ = HidDevice::kDefaultReadWaitSlice;
    bool inScan_ = false;
    int scanCount_ = 0;

    DeviceEvent onArrival_;
    DeviceEvent onRemoval_;
    ControllerEvent onDeviceChange_;
    HidDevice::DataHandler onDeviceData_;
    HidDevice::UnplugHandler onDeviceUnplug_;
    HidDevice::ReadErrorHandler onDeviceDataError_;
};

} // namespace zr::hid
