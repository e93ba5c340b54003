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
        // The meter is attached but may not be opened read-write (no udev rule): once per
        // arrival, with the open error as the log writes it ("Permission denied (D)").
        std::function<void(const QString& reason)> meterNotAccessible = {};
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
    void tellIfNotAccessible(hid::HidDevice& meter);

    hid::HidDeviceController& controller_;
    SharedState& state_;
    Events events_;
    // The meter the user was told about (its identity), until it is removed.
    QString toldNotAccessible_;
};

// What the user is told when something needs the meter and none is attached.
inline constexpr const char* kMeterNotConnectedText = "Прибор не подключен !";

// What the user is told when the meter is found but cannot be opened; %1 is the reason.
inline constexpr const char* kMeterNotAccessibleText =
    "Прибор ZR-6040 найден, но открыть его нельзя: %1.\n"
    "Установите правило udev для прибора (см. раздел «Using it with a real meter» в README) и "
    "переподключите прибор.";

} // namespace zr::connection
