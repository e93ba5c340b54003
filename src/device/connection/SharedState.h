#pragma once

#include "device/protocol/CalibrationSlot.h"
#include "device/protocol/Meter.h"
#include "device/protocol/Replies.h"

#include <array>
#include <vector>

namespace zr::hid {
class HidDevice;
}

namespace zr::connection {

// The meter's last status report; all fields 0 until the first report.
using DeviceStatus = protocol::StatusReport;

// The meter's calibration entries as its replies brought them: methods 1 to 3 by slots 1 to 4.
class CalibrationTables {
public:
    static constexpr bool holds(int method, int slot) {
        return method >= 1 && method <= protocol::meter::kCalibratedMethods && slot >= 1 &&
               slot <= protocol::meter::kSlotsPerMethod;
    }
    // Only for holds(method, slot).
    protocol::CalibrationSlot& at(int method, int slot) {
        return entries_[static_cast<std::size_t>(method - 1)][static_cast<std::size_t>(slot - 1)];
    }
    const protocol::CalibrationSlot& at(int method, int slot) const {
        return entries_[static_cast<std::size_t>(method - 1)][static_cast<std::size_t>(slot - 1)];
    }

private:
    std::array<std::array<protocol::CalibrationSlot, protocol::meter::kSlotsPerMethod>,
               protocol::meter::kCalibratedMethods>
        entries_;
};

// State shared by the controllers, the views and the dialogs, owned by the meter session and
// handed to them by reference. Touched by the main thread only.
struct SharedState {
    DeviceStatus status;
    // The method of the meter's last status report. The program's own method choices set
    // status.method at once; this stays the meter's, whose correction the status carries.
    std::uint8_t meterMethod = 0;
    hid::HidDevice* currentDevice = nullptr;
    std::vector<hid::HidDevice*> deviceList;

    CalibrationTables calibrationTables;
    // The highest calibration slot the meter reported since the last refresh of the list.
    int lastSlot = 0;
    // The linear correction last applied per method 1 to 4 during this run (index 0 unused).
    std::array<double, 5> correctionCache{};
};

} // namespace zr::connection
