#pragma once

#include "device/protocol/Replies.h"

#include <vector>

namespace zr::hid {
class HidDevice;
}

namespace zr::connection {

// The meter's last status report; all fields 0 until the first report.
using DeviceStatus = protocol::StatusReport;

// State shared by the main window's blocks and the dialogs, owned by the main window and handed
// to them by reference. Touched by the main thread only.
struct SharedState {
    DeviceStatus status;
    hid::HidDevice* currentDevice = nullptr;
    std::vector<hid::HidDevice*> deviceList;
};

} // namespace zr::connection
