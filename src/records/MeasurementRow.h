#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>
#include <array>

namespace zr::records {

// The seven texts of one row of the measurement table, in column order.
struct MeasurementRow {
    static constexpr int kColumns = 7;
    // Where Timestamp stands.
    static constexpr int kTimestampColumn = 6;

    QString Number;
    QString Grade;
    QString Tank;
    QString Supplier;
    QString Method;
    QString Value;
    QString Timestamp;

    std::array<QString, kColumns> texts() const {
        return {Number, Grade, Tank, Supplier, Method, Value, Timestamp};
    }
};

// The date in the locale's short format, one space, the time in its long format with seconds
// and without the time zone.
QString measurementTimestamp(const QDateTime& moment, const QLocale& locale = QLocale());

// The Qt date-time format of those timestamps.
QString measurementTimestampFormat(const QLocale& locale = QLocale());

} // namespace zr::records
