#include "records/MeasurementRow.h"

#include "device/connection/MethodNames.h"

#include <QTimeZone>
#include <algorithm>
#include <optional>

namespace zr::records {

namespace {

// The locale's long time format without its time-zone field (and the blank before it).
QString timeFormatWithoutZone(const QLocale& locale) {
    const QString format = locale.timeFormat(QLocale::LongFormat);
    QString result;
    bool quoted = false;
    for (QChar ch : format) {
        if (ch == QLatin1Char('\'')) {
            quoted = !quoted;
        } else if (!quoted && ch == QLatin1Char('t')) {
            continue;
        }
        result.append(ch);
    }
    return result.simplified();
}

// Qt's local time asks the C library, which reads the zone file again for every conversion; a
// table converts a moment for every row, so the zone is read once while TZ stays the same.
QDateTime localTime(const QDateTime& moment) {
    thread_local std::optional<QByteArray> zoneFor;
    thread_local QTimeZone zone;
    const QByteArray tz = qgetenv("TZ");
    if (zoneFor != tz) {
        zone = QTimeZone::systemTimeZone();
        zoneFor = tz;
    }
    return zone.isValid() ? moment.toTimeZone(zone) : moment.toLocalTime();
}

QString shownText(const QString& text) {
    return text.isEmpty() ? QStringLiteral(" ") : text;
}

constexpr QString MeasurementRow::*kListTexts[] = {&MeasurementRow::number, &MeasurementRow::grade,
                                                   &MeasurementRow::tank,
                                                   &MeasurementRow::supplier};

} // namespace

QString& MeasurementRow::listText(int column) {
    return this->*kListTexts[column];
}

const QString& MeasurementRow::listText(int column) const {
    return this->*kListTexts[column];
}

bool MeasurementRow::isEmpty() const {
    const bool nothingTyped = std::all_of(
        typed.begin(), typed.end(), [](const auto& text) { return !text || text->isEmpty(); });
    return nothingTyped && number.isEmpty() && grade.isEmpty() && tank.isEmpty() &&
           supplier.isEmpty() && !method && !value && !moment.isValid();
}

QString measurementCellText(const MeasurementRow& row, int column, const QLocale& locale) {
    if (column < 0 || column >= MeasurementRow::kColumns) {
        return {};
    }
    if (const auto& typed = row.typed[static_cast<std::size_t>(column)]) {
        return *typed;
    }
    if (row.isEmpty()) {
        return {};
    }
    switch (column) {
    case MeasurementRow::NumberColumn:
    case MeasurementRow::GradeColumn:
    case MeasurementRow::TankColumn:
    case MeasurementRow::SupplierColumn:
        return shownText(row.listText(column));
    case MeasurementRow::MethodColumn:
        return shownText(row.method ? methodText(*row.method) : QString());
    case MeasurementRow::ValueColumn:
        return shownText(row.value ? common::formatNumber(*row.value, row.valueDecimals, locale)
                                   : QString());
    default:
        return shownText(row.moment.isValid() ? measurementTimestamp(row.moment, locale)
                                              : QString());
    }
}

QString methodText(int methodCode) {
    const QString name = connection::methodName(methodCode);
    return name.isEmpty() ? QString::number(methodCode) : name;
}

QString measurementTimestampFormat(const QLocale& locale) {
    // Derived once per locale: an export formats a timestamp for every row.
    thread_local std::optional<QLocale> derivedFor;
    thread_local QString format;
    if (derivedFor != locale) {
        format = locale.dateFormat(QLocale::ShortFormat) + QLatin1Char(' ') +
                 timeFormatWithoutZone(locale);
        derivedFor = locale;
    }
    return format;
}

QString measurementTimestamp(const QDateTime& moment, const QLocale& locale) {
    return locale.toString(localTime(moment), measurementTimestampFormat(locale));
}

} // namespace zr::records
