#pragma once

#include <QString>
#include <QTimeZone>
#include <optional>

namespace zr::ctl {

// ISO 8601 with milliseconds of an instant (milliseconds since 1970 UTC): with its offset from
// UTC ("2026-03-01T11:00:00.000+02:00"), or in UTC with "Z" when there is none.
QString isoTime(qint64 msecsSinceEpoch, std::optional<int> offsetSeconds);

// The system's offset from UTC at instants, asked of its time zone once for every span between
// two of its transitions: a long history's times lie in few of them.
class LocalOffsets {
public:
    int offsetAt(qint64 msecsSinceEpoch);

private:
    QTimeZone zone_ = QTimeZone::systemTimeZone();
    qint64 from_ = 0;
    qint64 until_ = 0;
    int offset_ = 0;
};

} // namespace zr::ctl
