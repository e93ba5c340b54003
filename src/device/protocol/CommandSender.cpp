#include "device/protocol/CommandSender.h"

#include "device/protocol/Commands.h"
#include "device/protocol/TrafficLog.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace zr::protocol {

CommandSender::CommandSender(MeterPort& port, LogLineSink appendLogLine,
                             std::function<void()> reportNotConnected)
    : port_(port), appendLogLine_(std::move(appendLogLine)),
      reportNotConnected_(std::move(reportNotConnected)) {}

void CommandSender::setAfterSelectMethod(std::function<void()> hook) {
    afterSelectMethod_ = std::move(hook);
}

void CommandSender::send(ReportBuffer buffer) {
    if (!port_.connected()) {
        if (reportNotConnected_) {
            reportNotConnected_();
        }
        return;
    }
    buffer[0] = 0;
    const std::size_t length = port_.outputReportLength();

    // A device with longer output reports gets the command followed by zeros, never bytes from
    // beyond the buffer.
    std::vector<std::uint8_t> padded;
    const std::uint8_t* data = buffer.data();
    if (length > buffer.size()) {
        padded.assign(length, 0);
        std::copy(buffer.begin(), buffer.end(), padded.begin());
        data = padded.data();
    }
    const std::size_t available = std::max(length, buffer.size());

    const WriteOutcome outcome = port_.write(data, length);
    if (!appendLogLine_) {
        return;
    }
    if (outcome.ok) {
        appendLogLine_(formatWriteLine(outcome.bytesWritten, data, available));
        return;
    }
    for (const std::string& line :
         formatWriteFailureLines(outcome.bytesWritten, outcome.errorCode, data, available)) {
        appendLogLine_(line);
    }
}

void CommandSender::eraseCalibrations(int offset) {
    send(encodeEraseCalibrations(offset));
}

void CommandSender::commitCorrection() {
    send(encodeCommitCorrection());
}

void CommandSender::selectMethod(int method) {
    send(encodeSelectMethod(method));
    if (afterSelectMethod_) {
        afterSelectMethod_();
    }
}

void CommandSender::readByte(int address) {
    send(encodeReadByte(address));
}

void CommandSender::writeByte(int address, int value) {
    send(encodeWriteByte(address, value));
}

void CommandSender::readStoredValues(int startAddress) {
    send(encodeReadStoredValues(startAddress));
}

void CommandSender::requestCalibrationEntry(const CalibrationSlot& entry) {
    send(encodeRequestCalibrationEntry(entry));
}

void CommandSender::writeCalibrationEntry(const CalibrationSlot& entry) {
    send(encodeWriteCalibrationEntry(entry));
}

} // namespace zr::protocol
