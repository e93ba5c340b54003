#pragma once

#include "device/connection/MeterFacts.h"
#include "device/connection/SharedState.h"
#include "device/hid/HidDevice.h"
#include "device/protocol/MeterPort.h"

#include <QString>
#include <functional>

namespace zr::hid {
class HidDeviceController;
}

namespace zr::connection {

// Picks the meter among the HID devices on every arrival and drops it when it is removed; the
// command sender writes to it through the MeterPort interface.
class MeterConnection : public protocol::MeterPort {
public:
    static constexpr int kQueueDepth = 128;

    struct Events {
        hid::HidDevice::DataHandler dataHandler; // the meter's input reports
        // The meter was claimed: on every arrival of any device while it is attached.
        std::function<void(const MeterFacts&)> meterAttached;
        // The meter itself was removed.
        std::function<void()> meterDetached;
        // The meter is attached but may not be opened read-write (no udev rule): once per
        // arrival of the meter.
        std::function<void(const MeterFacts&, const MeterAccessFailure&)> meterNotAccessible = {};
    };

    MeterConnection(hid::HidDeviceController& controller, SharedState& state, Events events);

    void deviceArrived();
    void deviceRemoved(hid::HidDevice& removed);
    // Forgets the claimed devices; the controller still releases them when it is destroyed.
    void releaseDeviceList();

    bool connected() const override;
    std::size_t outputReportLength() override;
    protocol::WriteOutcome write(const std::uint8_t* data, std::size_t length) override;

private:
    void dropMeter();
    void tellIfNotAccessible(hid::HidDevice& meter, const MeterFacts& facts);

    hid::HidDeviceController& controller_;
    SharedState& state_;
    Events events_;
    // The meter the user was told about (its identity), until it is removed.
    QString toldNotAccessible_;
};

// What the user is told when something needs the meter and none is attached.
inline constexpr const char* kMeterNotConnectedText = "Прибор не подключен !";

} // namespace zr::connection
