#include "device/protocol/Commands.h"

#include "device/protocol/ByteOrder.h"

#include <algorithm>

namespace zr::protocol {

namespace {

std::uint8_t lowByte(int value) {
    return static_cast<std::uint8_t>(value);
}

ReportBuffer commandBuffer(std::uint8_t code) {
    ReportBuffer buffer{};
    buffer[1] = code;
    return buffer;
}

ReportBuffer withArguments(std::uint8_t code, int byte2, int byte3) {
    ReportBuffer buffer = commandBuffer(code);
    buffer[2] = lowByte(byte2);
    buffer[3] = lowByte(byte3);
    return buffer;
}

} // namespace

ReportBuffer encodeEraseCalibrations(int offset) {
    ReportBuffer buffer = commandBuffer(command::kEraseCalibrations);
    writeUint16(&buffer[2], static_cast<std::uint16_t>(offset));
    return buffer;
}

ReportBuffer encodeCommitCorrection() {
    return commandBuffer(command::kCommitCorrection);
}

ReportBuffer encodeSelectMethod(int method) {
    ReportBuffer buffer = commandBuffer(command::kSelectMethod);
    buffer[2] = lowByte(method);
    return buffer;
}

ReportBuffer encodeReadByte(int address) {
    return withArguments(command::kReadByte, address, kByteValueFlag);
}

ReportBuffer encodeWriteByte(int address, int value) {
    return withArguments(command::kWriteByte, address, value);
}

ReportBuffer encodeReadStoredValues(int startAddress) {
    ReportBuffer buffer = commandBuffer(command::kReadStoredValues);
    buffer[2] = lowByte(startAddress);
    return buffer;
}

ReportBuffer encodeRequestCalibrationEntry(const CalibrationSlot& entry) {
    ReportBuffer buffer = commandBuffer(command::kRequestCalibrationEntry);
    buffer[calibration_entry::kSlot] = lowByte(entry.slot);
    buffer[calibration_entry::kMethod] = lowByte(entry.method);
    return buffer;
}

ReportBuffer encodeWriteCalibrationEntry(const CalibrationSlot& entry) {
    using namespace calibration_entry;
    ReportBuffer buffer = commandBuffer(command::kWriteCalibrationEntry);
    buffer[kSlot] = lowByte(entry.slot);
    const std::size_t nameLength = std::min(entry.name.size(), kNameLength);
    std::fill_n(&buffer[kName], kNameLength, static_cast<std::uint8_t>(' '));
    std::copy_n(entry.name.begin(), nameLength, &buffer[kName]);
    buffer[kMethod] = lowByte(entry.method);
    writeUint16(&buffer[kK1], static_cast<std::uint16_t>(entry.k1));
    writeUint16(&buffer[kK2], static_cast<std::uint16_t>(entry.k2));
    return buffer;
}

} // namespace zr::protocol
