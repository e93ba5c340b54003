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

// The numbers those formats show, so that data keeps what the user saw: 92.30000305175781 →
// 92.3000030517578 (at most 15 significant digits), and 92.34 → 92.3 at one decimal.
double generalValue(double value);
double oneDecimalValue(double value);

// How a number is shown: at one decimal, or in the general format.
inline constexpr int kOneDecimal = 1;
inline constexpr int kGeneralFormat = -1;
QString formatNumber(double value, int decimals, const QLocale& locale = QLocale());

} // namespace zr::common
