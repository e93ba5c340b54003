#pragma once

#include "ctl/MeterLink.h"

#include <QDateTime>
#include <QList>
#include <QLocale>
#include <QString>
#include <QStringList>
#include <optional>
#include <variant>

namespace zr::calibration {
class LibraryRecord;
}

namespace zr::ctl {

// One field's value as --json and --csv write it: null, true or false, an integer, a real
// number, a text.
using FieldValue = std::variant<std::nullptr_t, bool, qint64, double, QString>;

// One line of output: its fields for --json and --csv in its layout's order, its cells for the
// readable table.
struct Record {
    QList<FieldValue> values;
    QStringList cells;
};

// What a kind of record shows: the field names of --json and --csv (an interface scripts rely
// on) in column order, and the headers of the readable table.
struct Layout {
    QStringList keys;
    QStringList headers;
};

Layout meterLayout();
Record meterRecord(const FoundMeter& meter);

// What `info` shows of the meter.
struct MeterDescription {
    connection::MeterFacts facts;
    QString usbPath;
    protocol::StatusReport status;
    // The calibration in force, when one is.
    std::optional<protocol::CalibrationSlot> calibration;
};
Layout infoLayout();
Record infoRecord(const MeterDescription& meter);

Layout statusLayout();
Record statusRecord(const protocol::StatusReport& status, const QLocale& locale);

// watch's lines: the time of the report, the status, and the number of the report since the
// command started (reports left out show as gaps).
Layout watchLayout();
Record watchRecord(const protocol::StatusReport& status, const QLocale& locale,
                   const FieldValue& time, qint64 seq);

Layout storedValueLayout();
Record storedValueRecord(const protocol::StoredValueRecord& record, const QLocale& locale);

Layout calibrationLayout();
Record calibrationRecord(const protocol::CalibrationSlot& entry);

Layout libraryLayout();
Record libraryRecord(const calibration::LibraryRecord& entry);

// ISO 8601 with the offset from UTC, which Qt leaves out of a local time.
QString isoLocalTime(const QDateTime& time);

// The reading a status shows, for --changes: what a line shows apart from the time.
bool sameReading(const protocol::StatusReport& a, const protocol::StatusReport& b);

} // namespace zr::ctl
