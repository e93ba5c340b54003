#include "records/MeasurementRow.h"

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

} // namespace

QString measurementTimestampFormat(const QLocale& locale) {
    return locale.dateFormat(QLocale::ShortFormat) + QLatin1Char(' ') +
           timeFormatWithoutZone(locale);
}

QString measurementTimestamp(const QDateTime& moment, const QLocale& locale) {
    return locale.toString(moment.date(), QLocale::ShortFormat) + QLatin1Char(' ') +
           locale.toString(moment.time(), timeFormatWithoutZone(locale));
}

} // namespace zr::records
