#pragma once

#include "device/protocol/CalibrationSlot.h"
#include "device/protocol/Meter.h"
#include "device/protocol/ReportBuffer.h"
#include "sim/MeterSample.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace zr::sim {

// The ZR-6040 as its USB protocol shows it: 256 bytes of addressable memory, four calibration
// slots for each of methods 1 to 3, the current method and the sample in the cell. It answers
// output reports and builds the status reports the meter sends unasked. Every report in and out
// is a full report with the report ID in byte 0. Not thread-safe; one owner drives it.
class MeterModel {
public:
    static constexpr int kCalibratedMethods = protocol::meter::kCalibratedMethods;
    static constexpr int kSlotsPerMethod = protocol::meter::kSlotsPerMethod;
    static constexpr int kHighestMethod = protocol::meter::kHighestMethod;

    MeterModel();

    // Carries out one command; returns the reply the meter sends for it, if any. Bytes beyond
    // `length` count as zero, so a short report is never read past its end.
    std::optional<protocol::ReportBuffer> handleCommand(const std::uint8_t* report,
                                                        std::size_t length);

    // The next unasked status report: a fresh reading of the sample through the calibration in
    // force and the method's correction.
    protocol::ReportBuffer statusReport();

    std::uint8_t memoryByte(int address) const;
    void setMemoryByte(int address, std::uint8_t value);

    int method() const { return method_; }
    // Codes 1 to 4; anything else is ignored, as the select method command does.
    void setMethod(int method);

    // The entry in a slot, or nothing for an empty slot or one outside methods 1-3, slots 1-4.
    std::optional<protocol::CalibrationSlot> calibration(int method, int slot) const;
    // Stores the entry in its slot for its method; entries outside the slots are ignored. The
    // name is kept as its first 10 bytes, padded with spaces.
    void storeCalibration(const protocol::CalibrationSlot& entry);
    void eraseCalibrations(int method);

    // The correction of a method as it stands in memory.
    float correction(int method) const;
    // The slot number in force for the current method as the status report gives it: 1 to 4,
    // or 0 for none.
    int activeTable() const;

    int commitCount() const { return commitCount_; }

    MeterSample& sample() { return sample_; }
    const MeterSample& sample() const { return sample_; }

private:
    struct StoredEntry {
        std::array<std::uint8_t, protocol::calibration_entry::kNameLength> name{};
        std::int16_t k1 = 0;
        std::int16_t k2 = 0;
    };

    const StoredEntry* entryInForce() const;
    double measuredValue(double raw) const;
    std::optional<protocol::ReportBuffer> readStoredValues(int startAddress) const;
    protocol::ReportBuffer calibrationEntryReply(int method, int slot) const;
    void eraseAtOffset(int offset);

    static bool isCalibrated(int method) { return method >= 1 && method <= kCalibratedMethods; }
    static bool isSlot(int slot) { return slot >= 1 && slot <= kSlotsPerMethod; }

    std::array<std::uint8_t, 256> memory_{};
    std::array<std::array<std::optional<StoredEntry>, kSlotsPerMethod>, kCalibratedMethods> slots_;
    int method_ = 1;
    int commitCount_ = 0;
    MeterSample sample_;
};

} // namespace zr::sim
