#pragma once

#include <cstdint>

namespace zr::calibration {

// The coefficients of a calibration: a meter reading x means K1 / 1000 × x + K2 / 10.
struct Coefficients {
    std::int16_t k1 = 0;
    std::int16_t k2 = 0;
};

// The line through (ML, RL) and (MH, RH) — meter readings and true values of the low- and the
// high-octane fuel — worked out in extended precision. Throws common::AppError when the two
// readings are equal, and when K1 or K2 does not fit a signed 16-bit number.
Coefficients computeCoefficients(long double ml, long double rl, long double mh, long double rh);

// A coefficient in range, or common::AppError naming it ("К1", "К2") and the allowed range.
std::int16_t checkedCoefficient(const char* name, long double value);

} // namespace zr::calibration
