#pragma once

#include "device/connection/SharedState.h"
#include "device/protocol/CalibrationSlot.h"
#include "device/protocol/Replies.h"

#include <cstdint>
#include <functional>
#include <string>

namespace zr::connection {

// Where the decoded replies go. Empty routes are skipped.
struct InputReportRoutes {
    std::function<void(const std::string&)> appendLogLine;
    std::function<void()> methodChanged; // arms the calibration list timer
    std::function<void(const protocol::StoredValuesPage&)> storedValuesPage;
    std::function<void(std::uint8_t value)> byteValue;
    std::function<void(const protocol::CalibrationSlot&)> calibrationEntry;
    std::function<void()> refreshDisplay;
};

// handleInputReport: logs every input report of the meter, keeps its last status and hands each
// reply to whoever uses it, then refreshes the live display.
class InputReportHandler {
public:
    InputReportHandler(SharedState& state, InputReportRoutes routes);

    void handleInputReport(const std::uint8_t* payload, std::uint16_t size);

private:
    // False when the report is to be dropped without refreshing the display.
    bool dispatch(const std::uint8_t* payload, std::uint16_t size);

    SharedState& state_;
    InputReportRoutes routes_;
};

} // namespace zr::connection
