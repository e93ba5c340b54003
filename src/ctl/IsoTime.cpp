#include "ctl/IsoTime.h"

#include <QDate>
#include <QDateTime>
#include <cstdlib>
#include <limits>

namespace zr::ctl {

namespace {

constexpr qint64 kMsecsPerDay = 24 * 3600 * 1000;
constexpr qint64 kJulianDayOf1970 = 2440588;
constexpr qint64 kMsecsPerHour = 3600 * 1000;

char* digits(char* out, int value, int width) {
    for (int i = width - 1; i >= 0; --i) {
        out[i] = static_cast<char>('0' + value % 10);
        value /= 10;
    }
    return out + width;
}

} // namespace

QString isoTime(qint64 msecsSinceEpoch, std::optional<int> offsetSeconds) {
    const qint64 shown = msecsSinceEpoch + qint64{offsetSeconds.value_or(0)} * 1000;
    qint64 days = shown / kMsecsPerDay;
    qint64 inDay = shown % kMsecsPerDay;
    if (inDay < 0) {
        inDay += kMsecsPerDay;
        --days;
    }
    int year = 0;
    int month = 0;
    int day = 0;
    QDate::fromJulianDay(days + kJulianDayOf1970).getDate(&year, &month, &day);
    if (year < 0 || year > 9999) {
        return QDateTime::fromMSecsSinceEpoch(msecsSinceEpoch, Qt::UTC).toString(Qt::ISODateWithMs);
    }
    // Built by hand: a history of many rows makes several of these per row.
    char text[32];
    char* at = digits(text, year, 4);
    *at++ = '-';
    at = digits(at, month, 2);
    *at++ = '-';
    at = digits(at, day, 2);
    *at++ = 'T';
    const int ms = static_cast<int>(inDay);
    at = digits(at, ms / 3600000, 2);
    *at++ = ':';
    at = digits(at, ms / 60000 % 60, 2);
    *at++ = ':';
    at = digits(at, ms / 1000 % 60, 2);
    *at++ = '.';
    at = digits(at, ms % 1000, 3);
    if (!offsetSeconds) {
        *at++ = 'Z';
    } else {
        const int minutes = std::abs(*offsetSeconds) / 60;
        *at++ = *offsetSeconds < 0 ? '-' : '+';
        at = digits(at, minutes / 60, 2);
        *at++ = ':';
        at = digits(at, minutes % 60, 2);
    }
    return QString::fromLatin1(text, at - text);
}

int LocalOffsets::offsetAt(qint64 msecsSinceEpoch) {
    if (msecsSinceEpoch >= from_ && msecsSinceEpoch < until_) {
        return offset_;
    }
    const QDateTime at = QDateTime::fromMSecsSinceEpoch(msecsSinceEpoch, Qt::UTC);
    offset_ = at.toLocalTime().offsetFromUtc();
    // Without a list of its transitions the offset is asked again every hour.
    from_ = msecsSinceEpoch - msecsSinceEpoch % kMsecsPerHour;
    until_ = from_ + kMsecsPerHour;
    if (zone_.hasTransitions()) {
        const QTimeZone::OffsetData previous = zone_.previousTransition(at.addMSecs(1));
        const QTimeZone::OffsetData next = zone_.nextTransition(at);
        from_ = previous.atUtc.isValid() ? previous.atUtc.toMSecsSinceEpoch()
                                         : std::numeric_limits<qint64>::min();
        until_ = next.atUtc.isValid() ? next.atUtc.toMSecsSinceEpoch()
                                      : std::numeric_limits<qint64>::max();
    }
    return offset_;
}

} // namespace zr::ctl
