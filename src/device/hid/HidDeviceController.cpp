#include "device/hid/HidDeviceController.h"

#include <QDebug>
#include <QMetaObject>

#include <algorithm>
#include <exception>
#include <memory>

namespace zr::hid {

HidDeviceController::HidDeviceController(HidPlatform& platform, QObject* parent)
    : QObject(parent), platform_(&platform) {
    if (!platform_->isAvailable()) {
        // No services: no notices, no scan, never a device.
        return;
    }
    // The first scan is a posted notice.
    //    The platform's change notices are taken from then on; notices already queued before
    //    the controller existed are not its business (as a window does not get the broadcasts
    //    sent before it was created); the first scan sees their changes anyway.
    QMetaObject::invokeMethod(
        this,
        [this] {
            connect(platform_, &HidPlatform::devicesChanged, this,
                    [this] { deviceChangeNotice(false); });
            deviceChangeNotice(true);
        },
        Qt::QueuedConnection);
}

HidDeviceController::~HidDeviceController() {
    onDeviceChange_ = nullptr;
    onDeviceUnplug_ = nullptr;
    disconnect(platform_, nullptr, this, nullptr);
    // An UnplugHandler run here sees an empty list.
    std::vector<std::unique_ptr<HidDevice>> devices = std::move(devices_);
    devices_.clear();
    for (std::unique_ptr<HidDevice>& device : devices) {
        device->controller_ = nullptr;
        if (device->isClaimed()) {
            device->release();
            device->unplug(); // the application learns that its device is gone
        }
        device.reset();
    }
}

HidDevice* HidDeviceController::deviceAt(int index) const {
    if (index < 0 || index >= deviceCount()) {
        return nullptr;
    }
    return devices_[static_cast<std::size_t>(index)].get();
}

int HidDeviceController::indexOf(const HidDevice* device) const {
    const auto it =
        std::find_if(devices_.begin(), devices_.end(),
                     [device](const std::unique_ptr<HidDevice>& d) { return d.get() == device; });
    return it == devices_.end() ? -1 : static_cast<int>(it - devices_.begin());
}

bool HidDeviceController::claim(HidDevice* device) {
    if (device == nullptr || device->isClaimed()) {
        return false;
    }
    device->claimed_.store(true);
    device->startReaderIfReady();
    return true;
}

HidDevice* HidDeviceController::claimDevice() {
    for (int i = 0; i < deviceCount(); ++i) {
        HidDevice* device = deviceAt(i);
        if (claim(device)) {
            return device;
        }
    }
    return nullptr;
}

HidDevice* HidDeviceController::claimDeviceAt(int index) {
    HidDevice* device = deviceAt(index);
    return claim(device) ? device : nullptr;
}

void HidDeviceController::returnDevice(HidDevice* device) {
    if (indexOf(device) < 0 || !device->isClaimed() || device->releasing_) {
        return;
    }
    // The copy keeps the handlers and the wait slice of the device it replaces.
    const std::shared_ptr<const HidDevice::DataHandler> data = device->dataHandler_;
    HidDevice::UnplugHandler unplug = std::move(device->unplugHandler_);
    device->unplugHandler_ = nullptr;
    const int slice = device->readWaitSlice();
    device->release();
    const int index = indexOf(device);
    if (device->isPresent()) {
        try {
            auto fresh = std::unique_ptr<HidDevice>(
                new HidDevice(this, *platform_, std::move(device->pnpInfo_),
                              data ? *data : HidDevice::DataHandler{}, std::move(unplug)));
            fresh->readWaitSlice_.store(slice);
            devices_[static_cast<std::size_t>(index)] = std::move(fresh);
            return;
        } catch (const HidControllerError&) {
            // it cannot be identified any more: it leaves the list
        }
    }
    removeAt(index);
}

void HidDeviceController::removeAt(int index) {
    std::unique_ptr<HidDevice> device = std::move(devices_[static_cast<std::size_t>(index)]);
    devices_.erase(devices_.begin() + index);
    device->controller_ = nullptr;
}

void HidDeviceController::deviceChangeNotice(bool firstScan) {
    if (inScan_) {
        return; // a notice arriving during a scan is dropped, not queued
    }
    inScan_ = true;
    struct ScanFlag {
        bool& flag;
        ~ScanFlag() { flag = false; }
    } clearFlag{inScan_};
    try {
        deviceChange(firstScan);
    } catch (const std::exception& e) {
        qCritical("HID: device scan ended by an exception: %s", e.what());
    } catch (...) {
        qCritical("HID: device scan ended by an exception");
    }
}

std::unique_ptr<HidDevice> HidDeviceController::createDevice(const HidInterfaceInfo& info) {
    auto device = std::unique_ptr<HidDevice>(
        new HidDevice(this, *platform_, std::make_unique<HidPnPInfo>(HidPnPInfo{info}),
                      onDeviceData_, onDeviceUnplug_));
    device->readWaitSlice_.store(devThreadSleepTime_);
    return device;
}

void HidDeviceController::deviceChange(bool firstScan) {
    ++scanCount_;
    bool changed = firstScan;

    // A fresh list of the interfaces present now; a device whose creation fails is left out.
    std::vector<std::unique_ptr<HidDevice>> fresh;
    for (const HidInterfaceInfo& info : platform_->enumerate()) {
        try {
            fresh.push_back(createDevice(info));
            fresh.back()->controller_ = nullptr; // not in the list yet
        } catch (const HidControllerError&) {
            // left out without a message
        }
    }
    const auto inFresh = [&fresh](const QString& identity) {
        return std::any_of(fresh.begin(), fresh.end(), [&](const std::unique_ptr<HidDevice>& d) {
            return d->pnpInfo().deviceInstance() == identity;
        });
    };

    // Removal pass, from the last device to the first. Handlers may return (destroy) devices
    //    meanwhile, so the pass works on a snapshot and checks each device is still alive.
    std::vector<std::pair<HidDevice*, std::weak_ptr<int>>> snapshot;
    for (const std::unique_ptr<HidDevice>& device : devices_) {
        snapshot.emplace_back(device.get(), device->lifeToken_);
    }
    for (auto it = snapshot.rbegin(); it != snapshot.rend(); ++it) {
        HidDevice* device = it->first;
        if (it->second.expired() || indexOf(device) < 0) {
            continue;
        }
        if (device->isPresent() && inFresh(device->pnpInfo().deviceInstance())) {
            continue; // still there
        }
        device->unplug();
        if (it->second.expired()) {
            changed = true;
            continue;
        }
        device->inScanCallback_.store(true);
        if (onRemoval_) {
            const DeviceEvent handler = onRemoval_;
            handler(*device);
        }
        changed = true;
        if (it->second.expired()) {
            continue; // returned by the handler
        }
        device->inScanCallback_.store(false);
        const int index = indexOf(device);
        if (!device->isClaimed() && index >= 0) {
            removeAt(index);
        }
    }

    // Duplicate pass: fresh devices already listed (and Present) are destroyed at once.
    for (auto it = fresh.begin(); it != fresh.end();) {
        const QString& identity = (*it)->pnpInfo().deviceInstance();
        const bool listed =
            std::any_of(devices_.begin(), devices_.end(), [&](const std::unique_ptr<HidDevice>& d) {
                return d->isPresent() && d->pnpInfo().deviceInstance() == identity;
            });
        if (listed) {
            it = fresh.erase(it);
        } else {
            ++it;
        }
    }

    // Arrival pass, in scan order: append, then raise OnArrival before the next one.
    for (std::unique_ptr<HidDevice>& owned : fresh) {
        HidDevice* device = owned.get();
        device->controller_ = this;
        devices_.push_back(std::move(owned));
        changed = true;
        const std::weak_ptr<int> alive = device->lifeToken_;
        device->inScanCallback_.store(true);
        if (onArrival_) {
            const DeviceEvent handler = onArrival_;
            handler(*device);
        }
        if (!alive.expired()) {
            device->inScanCallback_.store(false);
        }
    }

    if (changed && onDeviceChange_) {
        const ControllerEvent handler = onDeviceChange_;
        handler(*this);
    }
}

} // namespace zr::hid
