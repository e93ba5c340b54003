#pragma once

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
        hid::HidDevice::DataHandler dataHandler;                // the meter's input reports
        std::function<void(const QString&)> showConnectionText; // panel 0 of the status bar
        std::function<void()> meterArrived;                     // arms both timers
    };

    MeterConnection(hid::HidDeviceController& controller, SharedState& state, Events events);

    void HidControllerArrival();
    void HidControllerRemoval(hid::HidDevice& removed);
    // Forgets the claimed devices; the controller still releases them when it is destroyed.
    void releaseDeviceList();

    bool connected() const override;
    std::size_t outputReportLength() override;
    protocol::WriteOutcome write(const std::uint8_t* data, std::size_t length) override;

private:
    void dropMeter();

    hid::HidDeviceController& controller_;
    SharedState& state_;
    Events events_;
};

} // namespace zr::connection
