#pragma once

// A parser of HID report descriptors (HID 1.11, section 6.2.2), enough for the capability
// record: the largest input, output and feature report of the device in bytes (plus the
// report-ID byte, which the layer counts for every device), whether reports are numbered, and
// the usage page and usage of the first top-level collection.

#include "device/hid/HidCaps.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>

namespace zr::hid {

// The largest report hidraw hands over, report-ID byte included (the kernel's
// HID_MAX_BUFFER_SIZE); the kernel refuses devices with larger reports.
inline constexpr uint32_t kMaxReportBytes = 16384;

struct ReportDescriptorInfo {
    // Report sizes in bits, by report ID (0 for devices without numbered reports); never more
    // than (kMaxReportBytes - 1) * 8 in a descriptor the parser accepts.
    std::map<uint8_t, uint64_t> inputBits;
    std::map<uint8_t, uint64_t> outputBits;
    std::map<uint8_t, uint64_t> featureBits;
    bool numberedReports = false;
    uint16_t usagePage = 0;
    uint16_t usage = 0;

    // Byte length of the largest report of the kind, counting the report-ID byte; 0 if none.
    static uint16_t byteLength(const std::map<uint8_t, uint64_t>& bits);
    HidCaps caps() const;
};

// nullopt for a malformed descriptor (an item running past the end, a Pop without Push, an
// End Collection without Collection, a Report ID of 0, a report longer than kMaxReportBytes).
std::optional<ReportDescriptorInfo> parseReportDescriptor(const uint8_t* data, std::size_t length);

} // namespace zr::hid
