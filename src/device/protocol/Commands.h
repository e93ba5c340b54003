#pragma once

#include "device/protocol/CalibrationSlot.h"
#include "device/protocol/ReportBuffer.h"

// Each encoder returns a fresh report buffer holding one command; bytes the command does not
// use are zero. Integer arguments are cut to their low 8 bits (16 for the erase offset).
namespace zr::protocol {

ReportBuffer encodeEraseCalibrations(int offset);
ReportBuffer encodeCommitCorrection();
ReportBuffer encodeSelectMethod(int method);
ReportBuffer encodeReadByte(int address);
ReportBuffer encodeWriteByte(int address, int value);
ReportBuffer encodeReadStoredValues(int startAddress);
// Only the slot and the method of the entry are sent.
ReportBuffer encodeRequestCalibrationEntry(const CalibrationSlot& entry);
// Names longer than 10 bytes are cut; shorter ones are padded with spaces.
ReportBuffer encodeWriteCalibrationEntry(const CalibrationSlot& entry);

// The offset that erases the calibrations of method 1, 2 or 3.
constexpr int eraseOffsetForMethod(int method) {
    return 96 * (method - 1);
}

} // namespace zr::protocol
