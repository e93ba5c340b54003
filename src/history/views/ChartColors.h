#pragma once

#include <QColor>

namespace zr::history {

// The colours of the control charts, which a reader of a saved picture (and its test) finds
// the series and the marked points by.
inline QColor chartSeriesColor() {
    return QColor(0x15, 0x65, 0xc0);
}
inline QColor chartMarkColor() {
    return QColor(0xd5, 0x00, 0xf9);
}
inline QColor chartCentreColor() {
    return QColor(0x2e, 0x7d, 0x32);
}
inline QColor chartLimitColor() {
    return QColor(0xc6, 0x28, 0x28);
}
inline QColor chartWarningColor() {
    return QColor(0xef, 0x6c, 0x00);
}
inline QColor chartBaselineColor() {
    return QColor(0xe8, 0xee, 0xf7);
}

} // namespace zr::history
