#pragma once

#include "calibration/MeterCalibrations.h"
#include "device/connection/ControllerContext.h"
#include "device/protocol/CommandSender.h"
#include "support/FakeMessageService.h"
#include "support/MemoryFiles.h"

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace zr::test {

// The meter as the command sender writes to it: every report kept.
class LibraryMeterPort : public protocol::MeterPort {
public:
    bool connected() const override { return isConnected; }
    std::size_t outputReportLength() override { return 65; }
    protocol::WriteOutcome write(const std::uint8_t* data, std::size_t length) override {
        writes.emplace_back(data, data + length);
        return {true, length, 0};
    }

    bool isConnected = true;
    std::vector<std::vector<std::uint8_t>> writes;
};

// A controller context on a recording meter and recorded message boxes, with what is known of
// the meter's calibrations.
struct ControllerTestContext {
    connection::SharedState state;
    calibration::MeterCalibrations calibrations;
    LibraryMeterPort port;
    int notConnected = 0;
    protocol::CommandSender commands{port, [](const std::string&) {}, [this] { ++notConnected; }};
    FakeMessageService messages;

    connection::ControllerContext context() { return {state, commands, messages}; }
};

// A whole read of `method`'s list on the meter attached as `attachment`, as the meter answers
// it: the slots in `taken` hold a calibration, the others answer with slot 0.
inline void readMeterList(calibration::MeterCalibrations& calibrations, int method,
                          std::initializer_list<int> taken, std::uint32_t attachment = 0) {
    calibrations.beginRead(method, attachment);
    for (int slot = 1; slot <= 4; ++slot) {
        const bool isTaken = std::find(taken.begin(), taken.end(), slot) != taken.end();
        calibrations.entryReported(
            isTaken ? protocol::CalibrationSlot{slot, "METER     ", method, 1000, 0}
                    : protocol::CalibrationSlot{0, "", method, 0, 0});
    }
}

} // namespace zr::test
