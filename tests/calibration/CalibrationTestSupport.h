#pragma once

#include "calibration/MeterCalibrations.h"
#include "common/OneShotTimer.h"
#include "device/connection/ControllerContext.h"
#include "device/protocol/CommandSender.h"
#include "support/FakeMessageService.h"

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

namespace zr::test {

// The meter as a recorder of the commands written to it; it can be pulled out after a number
// of writes.
class RecordingMeterPort : public protocol::MeterPort {
public:
    bool connected() const override { return isConnected; }
    std::size_t outputReportLength() override { return 65; }
    protocol::WriteOutcome write(const std::uint8_t* data, std::size_t length) override {
        writes.emplace_back(data, data + length);
        if (disconnectAfterWrites > 0 && writes.size() >= disconnectAfterWrites) {
            isConnected = false;
        }
        return {true, length, 0};
    }

    bool isConnected = true;
    std::size_t disconnectAfterWrites = 0;
    std::vector<std::vector<std::uint8_t>> writes;
};

// A command as sent: its code and its first two argument bytes.
struct Sent {
    std::uint8_t code;
    std::uint8_t a;
    std::uint8_t b;
    bool operator==(const Sent&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const Sent& s) {
    return out << "{" << std::hex << int(s.code) << ", " << int(s.a) << ", " << int(s.b) << "}"
               << std::dec;
}

inline constexpr std::uint8_t kErase = 0x41;
inline constexpr std::uint8_t kCommit = 0x63;
inline constexpr std::uint8_t kSelectMethod = 0x64;
inline constexpr std::uint8_t kWriteByte = 0x66;
inline constexpr std::uint8_t kRequestEntry = 0x3D;

// The shared state, the command sender on a recording port and the message boxes that every
// calibration controller is given.
class CalibrationFixture {
public:
    CalibrationFixture() {
        commands.setAfterSelectMethod([this] { calibrationListTimer.enable(); });
    }

    connection::ControllerContext context() { return {state, commands, messages}; }

    std::vector<Sent> sent() const {
        std::vector<Sent> result;
        for (const auto& w : port.writes) {
            result.push_back({w.at(1), w.at(2), w.at(3)});
        }
        return result;
    }

    connection::SharedState state;
    calibration::MeterCalibrations calibrations;
    RecordingMeterPort port;
    int notConnected = 0;
    protocol::CommandSender commands{port, [](const std::string&) {}, [this] { ++notConnected; }};
    FakeMessageService messages;
    common::OneShotTimer calibrationListTimer{1000};
};

} // namespace zr::test
