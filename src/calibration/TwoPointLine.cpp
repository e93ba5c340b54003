#include "calibration/TwoPointLine.h"

#include "common/AppError.h"

#include <QString>
#include <cmath>
#include <limits>

namespace zr::calibration {

std::int16_t checkedCoefficient(const char* name, long double value) {
    constexpr auto kLow = std::numeric_limits<std::int16_t>::min();
    constexpr auto kHigh = std::numeric_limits<std::int16_t>::max();
    if (!(value >= kLow && value <= kHigh)) {
        throw common::AppError(
            QStringLiteral("Коэффициент %1 = %2 вне допустимого диапазона от %3 до %4")
                .arg(QString::fromUtf8(name), QString::number(static_cast<double>(value), 'g', 15))
                .arg(kLow)
                .arg(kHigh));
    }
    return static_cast<std::int16_t>(value);
}

Coefficients computeCoefficients(long double ml, long double rl, long double mh, long double rh) {
    if (mh == ml) {
        throw common::AppError(rh == rl ? QStringLiteral("Invalid floating point operation")
                                        : QStringLiteral("Floating point division by zero"));
    }
    // k and b are kept as doubles between the steps; the arithmetic itself is extended.
    const double k = static_cast<double>((rh - rl) / (mh - ml));
    const double b = static_cast<double>(rl - ml * static_cast<long double>(k));
    // nearbyint rounds halfway values to the even integer in the default rounding mode.
    const long double k1 = std::nearbyint(static_cast<long double>(k) * 1000.0L);
    const long double k2 = std::nearbyint(static_cast<long double>(b) * 10.0L);
    return {checkedCoefficient("К1", k1), checkedCoefficient("К2", k2)};
}

} // namespace zr::calibration
