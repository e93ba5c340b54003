#pragma once

#include "device/hid/simulated/SimulatedHidBus.h"
#include "device/protocol/ReportBuffer.h"
#include "sim/MeterModel.h"

#include <memory>
#include <mutex>
#include <optional>
#include <utility>

namespace zr::sim {

// The meter model as a device on the simulated HID bus. Commands arrive on the writing thread,
// status reports are sent from the simulator's timer: the model is guarded by one mutex. The
// model outlives unplugging, so the meter keeps its memory when plugged in again.
class MeterDevice : public hid::SimulatedDeviceModel {
public:
    void attached(std::shared_ptr<hid::SimulatedInputPort> port) override;
    void onOutputReport(const std::uint8_t* data, std::size_t length) override;
    void detached() override;

    // Sends one status report now; returns it, or nothing when the meter is not plugged in.
    std::optional<protocol::ReportBuffer> sendStatusReport();
    // Sends any report as the meter's own; false when not plugged in.
    bool sendReport(const protocol::ReportBuffer& report);

    // Runs `action` on the model under the lock.
    template <typename Action> auto withModel(Action&& action) {
        std::lock_guard lock(mutex_);
        return action(model_);
    }
    template <typename Action> auto withModel(Action&& action) const {
        std::lock_guard lock(mutex_);
        return action(std::as_const(model_));
    }

private:
    mutable std::mutex mutex_;
    MeterModel model_;
    std::shared_ptr<hid::SimulatedInputPort> port_;
};

} // namespace zr::sim
