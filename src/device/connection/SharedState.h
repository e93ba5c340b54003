#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace zr::hid {
class HidDevice;
}

namespace zr::connection {

// The meter's last status report; all fields 0 until the first report.
struct DeviceStatus {
    std::uint16_t frequency = 0;
    std::uint8_t method = 0;
    float measuredValue = 0.0F;
    float correction = 0.0F;
    std::uint8_t activeTable = 0;
    std::uint8_t dataCount = 0;
};

// State shared by the main window's blocks and the dialogs, owned by the main window and handed
// to them by reference. Touched by the main thread only.
struct SharedState {
    DeviceStatus status;
    hid::HidDevice* currentDevice = nullptr;
    std::vector<hid::HidDevice*> deviceList;
};

} // namespace zr::connection
