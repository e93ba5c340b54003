#include "common/NumberFormat.h"

#include <cfenv>
#include <cmath>

namespace zr::common {

QString formatGeneral(double value, const QLocale& locale) {
    if (value == 0.0) {
        value = 0.0; // no "-0"
    }
    QString text = QString::number(value, 'g', 15);
    const QString point = locale.decimalPoint();
    if (point != QLatin1String(".")) {
        text.replace(QLatin1Char('.'), point);
    }
    return text;
}

QString formatOneDecimal(double value, const QLocale& locale) {
    // std::nearbyint rounds halfway cases to even in the default rounding mode.
    const double tenths = std::nearbyint(value / 0.1);
    return formatGeneral(tenths * 0.1, locale);
}

} // namespace zr::common
