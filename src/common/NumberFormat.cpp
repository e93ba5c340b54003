#include "common/NumberFormat.h"

#include <cfenv>
#include <cmath>

namespace zr::common {

QString formatGeneral(double value, const QLocale& locale) {
    if (std::isnan(value)) {
        return QStringLiteral("NAN");
    }
    if (std::isinf(value)) {
        return value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
    }
    if (value == 0.0) {
        value = 0.0; // no "-0"
    }
    // 'g' picks fixed or scientific notation as the general format does (scientific from 15
    // digits before the point, or below 1E-4); only the exponent is written differently: a
    // capital E, no plus sign and no leading zeros (1E16, 1,5E-5).
    QString text = QString::number(value, 'g', 15);
    const qsizetype e = text.indexOf(QLatin1Char('e'));
    if (e >= 0) {
        const int exponent = text.mid(e + 1).toInt();
        text = text.left(e) + QLatin1Char('E') + QString::number(exponent);
    }
    const QString point = locale.decimalPoint();
    if (point != QLatin1String(".")) {
        text.replace(QLatin1Char('.'), point);
    }
    return text;
}

QString formatOneDecimal(double value, const QLocale& locale) {
    return formatGeneral(oneDecimalValue(value), locale);
}

double generalValue(double value) {
    if (!std::isfinite(value)) {
        return value;
    }
    if (value == 0.0) {
        return 0.0; // no -0
    }
    // Fifteen significant digits read back give the same fifteen digits again.
    return QString::number(value, 'g', 15).toDouble();
}

double oneDecimalValue(double value) {
    // std::nearbyint rounds halfway cases to even in the default rounding mode.
    return generalValue(std::nearbyint(value / 0.1) * 0.1);
}

QString formatNumber(double value, int decimals, const QLocale& locale) {
    return decimals == kOneDecimal ? formatOneDecimal(value, locale) : formatGeneral(value, locale);
}

} // namespace zr::common
