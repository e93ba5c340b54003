#include "ctl/Records.h"

#include "calibration/LibraryFile.h"
#include "common/Cp1251.h"
#include "common/NumberFormat.h"
#include "device/connection/LiveStatus.h"
#include "device/connection/MethodNames.h"
#include "device/protocol/Meter.h"

#include <cstdlib>

namespace zr::ctl {

namespace {

// A float as the meter meant it: its own seven digits, not the binary tail a double shows.
double meterNumber(float value) {
    return QString::number(static_cast<double>(value), 'g', 7).toDouble();
}

QString yesNo(bool yes) {
    return yes ? QStringLiteral("да") : QStringLiteral("нет");
}

QString methodText(int method) {
    const QString name = connection::methodName(method);
    return name.isEmpty() ? QString::number(method) : QStringLiteral("%1 %2").arg(method).arg(name);
}

} // namespace

Layout meterLayout() {
    return {{QStringLiteral("device"), QStringLiteral("serial"), QStringLiteral("read_write")},
            {QStringLiteral("Устройство"), QStringLiteral("Серийный номер"),
             QStringLiteral("Доступ на запись")}};
}

Record meterRecord(const FoundMeter& meter) {
    return {{meter.devicePath, meter.serial, meter.readWrite},
            {meter.devicePath, meter.serial, yesNo(meter.readWrite)}};
}

Layout statusLayout(bool stamped) {
    Layout layout{{QStringLiteral("method"), QStringLiteral("method_name"), QStringLiteral("value"),
                   QStringLiteral("correction"), QStringLiteral("table"),
                   QStringLiteral("frequency"), QStringLiteral("frequency_valid"),
                   QStringLiteral("stored_count")},
                  {QStringLiteral("Метод"), QStringLiteral("Значение"), QStringLiteral("Коррекция"),
                   QStringLiteral("Таблица"), QStringLiteral("Частота"),
                   QStringLiteral("В допуске"), QStringLiteral("Данных")}};
    if (stamped) {
        layout.keys.prepend(QStringLiteral("time"));
        layout.headers.prepend(QStringLiteral("Время"));
    }
    return layout;
}

Record statusRecord(const protocol::StatusReport& status, const QLocale& locale,
                    const QString& time) {
    const bool valid = protocol::meter::frequencyIsValid(status.frequency);
    const connection::LiveStatus shown = connection::liveStatus(status, locale);
    Record record{{qint64{status.method}, connection::methodName(status.method),
                   // Outside the valid band the meter's value means nothing: the window shows 0.
                   valid ? FieldValue(meterNumber(status.measuredValue)) : FieldValue(nullptr),
                   meterNumber(status.correction), qint64{status.activeTable},
                   qint64{status.frequency}, valid, qint64{status.dataCount}},
                  {methodText(status.method), shown.value,
                   common::formatOneDecimal(status.correction, locale),
                   QString::number(status.activeTable), QString::number(status.frequency),
                   yesNo(valid), QString::number(status.dataCount)}};
    if (!time.isNull()) {
        record.values.prepend(time);
        record.cells.prepend(time);
    }
    return record;
}

Layout storedValueLayout() {
    return {{QStringLiteral("number"), QStringLiteral("method"), QStringLiteral("method_name"),
             QStringLiteral("value")},
            {QStringLiteral("№"), QStringLiteral("Метод"), QStringLiteral("Значение")}};
}

Record storedValueRecord(const protocol::StoredValueRecord& record, const QLocale& locale) {
    const double value = meterNumber(record.value);
    return {{qint64{record.recordNumber}, qint64{record.method},
             connection::methodName(record.method), value},
            {QString::number(record.recordNumber), methodText(record.method),
             common::formatGeneral(value, locale)}};
}

Layout calibrationLayout() {
    return {{QStringLiteral("slot"), QStringLiteral("name"), QStringLiteral("k1"),
             QStringLiteral("k2")},
            {QStringLiteral("№"), QStringLiteral("Наименование"), QStringLiteral("К1"),
             QStringLiteral("К2")}};
}

Record calibrationRecord(const protocol::CalibrationSlot& entry) {
    // The meter pads a name with spaces to its ten bytes.
    QString name = common::fromCp1251(entry.name);
    while (name.endsWith(QLatin1Char(' '))) {
        name.chop(1);
    }
    return {
        {qint64{entry.slot}, name, qint64{entry.k1}, qint64{entry.k2}},
        {QString::number(entry.slot), name, QString::number(entry.k1), QString::number(entry.k2)}};
}

Layout libraryLayout() {
    return {{QStringLiteral("index"), QStringLiteral("name"), QStringLiteral("method"),
             QStringLiteral("k1"), QStringLiteral("k2"), QStringLiteral("comment")},
            {QStringLiteral("№"), QStringLiteral("Наименование"), QStringLiteral("Метод"),
             QStringLiteral("К1"), QStringLiteral("К2"), QStringLiteral("Комментарий")}};
}

Record libraryRecord(const calibration::LibraryRecord& entry) {
    return {{qint64{entry.index()}, entry.name(), qint64{entry.method()}, qint64{entry.k1()},
             qint64{entry.k2()}, entry.comment()},
            {QString::number(entry.index()), entry.name(), methodText(entry.method()),
             QString::number(entry.k1()), QString::number(entry.k2()), entry.comment()}};
}

QString isoLocalTime(const QDateTime& time) {
    const int offset = time.offsetFromUtc();
    const int minutes = std::abs(offset) / 60;
    return time.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzz")) +
           QStringLiteral("%1%2:%3")
               .arg(offset < 0 ? QLatin1Char('-') : QLatin1Char('+'))
               .arg(minutes / 60, 2, 10, QLatin1Char('0'))
               .arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

bool sameReading(const protocol::StatusReport& a, const protocol::StatusReport& b) {
    // What the window shows, to a tenth: the noise of the last digits is no change. The
    // frequency wanders with every report; whether it is valid is part of the reading.
    constexpr qsizetype kFrequencyCell = 4;
    const QLocale c = QLocale::c();
    QStringList left = statusRecord(a, c).cells;
    QStringList right = statusRecord(b, c).cells;
    left.removeAt(kFrequencyCell);
    right.removeAt(kFrequencyCell);
    return left == right;
}

} // namespace zr::ctl
