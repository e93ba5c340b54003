#pragma once

#include "device/protocol/CalibrationSlot.h"
#include "device/protocol/MeterPort.h"
#include "device/protocol/ReportBuffer.h"

#include <functional>
#include <string>

namespace zr::protocol {

// Writes commands to the meter and records each write in the traffic log. Without a meter the
// command is dropped and only the not-connected hook runs. Failures are logged, never retried.
class CommandSender {
public:
    using LogLineSink = std::function<void(const std::string&)>;

    CommandSender(MeterPort& port, LogLineSink appendLogLine,
                  std::function<void()> reportNotConnected);

    // Runs after every select method command, sent or not, so the calibration list is read again.
    void setAfterSelectMethod(std::function<void()> hook);

    // Whether a meter is attached to take commands now.
    bool meterConnected() const { return port_.connected(); }

    void send(ReportBuffer buffer);

    void eraseCalibrations(int offset);
    void commitCorrection();
    void selectMethod(int method);
    void readByte(int address);
    void writeByte(int address, int value);
    void readStoredValues(int startAddress);
    void requestCalibrationEntry(const CalibrationSlot& entry);
    void writeCalibrationEntry(const CalibrationSlot& entry);

private:
    MeterPort& port_;
    LogLineSink appendLogLine_;
    std::function<void()> reportNotConnected_;
    std::function<void()> afterSelectMethod_;
};

} // namespace zr::protocol
