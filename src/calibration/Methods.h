#pragma once

#include "device/protocol/Meter.h"

namespace zr::calibration {

constexpr bool isMethod(int method) {
    return method >= 1 && method <= protocol::meter::kHighestMethod;
}

// Methods 1 to 3 hold calibrations and take a correction on the commit command; method 4 does
// neither.
constexpr bool isCalibratedMethod(int method) {
    return method >= 1 && method <= protocol::meter::kCalibratedMethods;
}

// A calibration slot of a method, as a reply numbers it; an empty slot answers with 0.
constexpr bool isSlot(int slot) {
    return slot >= 1 && slot <= protocol::meter::kSlotsPerMethod;
}

} // namespace zr::calibration
