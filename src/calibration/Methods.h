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

} // namespace zr::calibration
