#pragma once

#include <QLocale>
#include <QString>

namespace zr::common {

// The general number format: at most 15 significant digits, trailing zeros and a trailing
// decimal separator dropped, the locale's decimal separator, no digit grouping.
QString formatGeneral(double value, const QLocale& locale = QLocale());

// A value brought to the nearest tenth (halfway values to the even digit) in the general format:
// 92.34 → "92,3" with a comma locale, 92.0 → "92".
QString formatOneDecimal(double value, const QLocale& locale = QLocale());

} // namespace zr::common
