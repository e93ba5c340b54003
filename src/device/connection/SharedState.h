#pragma once

#include "device/protocol/Meter.h"
#include "device/protocol/Replies.h"

#include <array>
#include <cstdint>
#include <vector>

namespace zr::hid {
class HidDevice;
}

namespace zr::connection {

// The meter's last status report; all fields 0 until the first report.
using DeviceStatus = protocol::StatusReport;

// State shared by the controllers, the views and the dialogs, owned by the meter session and
// handed to them by reference. Touched by the main thread only.
struct SharedState {
    DeviceStatus status;
    // The method of the meter's last status report. The program's own method choices set
    // status.method at once; this stays the meter's, whose correction the status carries.
    std::uint8_t meterMethod = 0;
    hid::HidDevice* currentDevice = nullptr;
    std::vector<hid::HidDevice*> deviceList;
    // Counts the times the meter was claimed: what was learnt of the meter under an earlier count
    // may belong to another meter, or to this one before it was switched over while unplugged.
    std::uint32_t meterAttachment = 0;
    // The attachment whose meter sent the status report that `status` holds.
    std::uint32_t statusAttachment = 0;

    // Whether `status` came from the meter attached now, if one is.
    bool statusFromAttachedMeter() const { return statusAttachment == meterAttachment; }

    // The linear correction last applied per method 1 to 4 during this run (index 0 unused).
    std::array<double, 5> correctionCache{};
};

} // namespace zr::connection
