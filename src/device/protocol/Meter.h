#pragma once

#include <cstdint>

// What identifies the meter on the bus and bounds its readings.
namespace zr::protocol::meter {

inline constexpr std::uint16_t kVendorId = 0x04D7;
inline constexpr std::uint16_t kProductId = 0x013F;

// The method codes: 1 research, 2 motor, 3 cetane number, 4 AKI. Methods 1 to 3 hold
// calibrations, in slots 1 to 4 each, and take a correction on the commit command.
inline constexpr int kHighestMethod = 4;
inline constexpr int kCalibratedMethods = 3;
inline constexpr int kSlotsPerMethod = 4;

// The measured value means something only while the measuring frequency lies in this band.
inline constexpr std::uint16_t kLowestValidFrequency = 4000;
inline constexpr std::uint16_t kHighestValidFrequency = 5100;

constexpr bool frequencyIsValid(std::uint16_t frequency) {
    return frequency >= kLowestValidFrequency && frequency <= kHighestValidFrequency;
}

} // namespace zr::protocol::meter
