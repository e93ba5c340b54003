#pragma once

#include "device/connection/SharedState.h"

namespace zr::calibration {

// The meter's method codes: 1 research, 2 motor, 3 cetane number, 4 AKI.
inline constexpr int kHighestMethod = 4;

constexpr bool isMethod(int method) {
    return method >= 1 && method <= kHighestMethod;
}

// Methods 1 to 3 hold calibrations and take a correction on the commit command; method 4 does
// neither.
constexpr bool isCalibratedMethod(int method) {
    return method >= 1 && method <= connection::CalibrationTables::kMethods;
}

} // namespace zr::calibration
