#include "ctl/Records.h"

#include "calibration/LibraryFile.h"
#include "common/Cp1251.h"
#include "common/NumberFormat.h"
#include "device/connection/LiveStatus.h"
#include "device/connection/MethodNames.h"
#include "device/protocol/Meter.h"
#include "journal/Journal.h"
#include "records/MeasurementTableTexts.h"

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
    return {{{QStringLiteral("device"), meter.devicePath},
             {QStringLiteral("serial"), meter.serial},
             {QStringLiteral("read_write"), meter.readWrite}},
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
    Record record{{{QStringLiteral("method"), status.method},
                   {QStringLiteral("method_name"), connection::methodName(status.method)},
                   // Outside the valid band the meter's value means nothing: the window shows 0.
                   {QStringLiteral("value"), valid ? QJsonValue(meterNumber(status.measuredValue))
                                                   : QJsonValue(QJsonValue::Null)},
                   {QStringLiteral("correction"), meterNumber(status.correction)},
                   {QStringLiteral("table"), status.activeTable},
                   {QStringLiteral("frequency"), status.frequency},
                   {QStringLiteral("frequency_valid"), valid},
                   {QStringLiteral("stored_count"), status.dataCount}},
                  {methodText(status.method), shown.value,
                   common::formatOneDecimal(status.correction, locale),
                   QString::number(status.activeTable), QString::number(status.frequency),
                   yesNo(valid), QString::number(status.dataCount)}};
    if (!time.isNull()) {
        record.fields.insert(QStringLiteral("time"), time);
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
    return {{{QStringLiteral("number"), record.recordNumber},
             {QStringLiteral("method"), record.method},
             {QStringLiteral("method_name"), connection::methodName(record.method)},
             {QStringLiteral("value"), value}},
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
        {{QStringLiteral("slot"), entry.slot},
         {QStringLiteral("name"), name},
         {QStringLiteral("k1"), entry.k1},
         {QStringLiteral("k2"), entry.k2}},
        {QString::number(entry.slot), name, QString::number(entry.k1), QString::number(entry.k2)}};
}

Layout libraryLayout() {
    return {{QStringLiteral("index"), QStringLiteral("name"), QStringLiteral("method"),
             QStringLiteral("k1"), QStringLiteral("k2"), QStringLiteral("comment")},
            {QStringLiteral("№"), QStringLiteral("Наименование"), QStringLiteral("Метод"),
             QStringLiteral("К1"), QStringLiteral("К2"), QStringLiteral("Комментарий")}};
}

Record libraryRecord(const calibration::LibraryRecord& entry) {
    return {{{QStringLiteral("index"), entry.index()},
             {QStringLiteral("name"), entry.name()},
             {QStringLiteral("method"), entry.method()},
             {QStringLiteral("k1"), entry.k1()},
             {QStringLiteral("k2"), entry.k2()},
             {QStringLiteral("comment"), entry.comment()}},
            {QString::number(entry.index()), entry.name(), methodText(entry.method()),
             QString::number(entry.k1()), QString::number(entry.k2()), entry.comment()}};
}

namespace {

// The field names of the table's seven columns, in the table's order.
const QStringList& journalCellKeys() {
    static const QStringList keys{QStringLiteral("number"),   QStringLiteral("grade"),
                                  QStringLiteral("tank"),     QStringLiteral("supplier"),
                                  QStringLiteral("method"),   QStringLiteral("value"),
                                  QStringLiteral("date_time")};
    return keys;
}

} // namespace

Layout journalLayout() {
    Layout layout{{QStringLiteral("session_started"), QStringLiteral("time")},
                  {QStringLiteral("Начало сеанса"), QStringLiteral("Время записи")}};
    layout.keys << journalCellKeys();
    for (const QString& header : records::measurementTableHeaders()) {
        // The window's number column has no header.
        layout.headers << (header.isEmpty() ? QStringLiteral("№") : header);
    }
    layout.keys << QStringLiteral("deleted");
    layout.headers << QStringLiteral("Удалена");
    return layout;
}

Record journalRecord(const QDateTime& sessionStarted, const journal::JournalRow& row) {
    Record record;
    const QString started = isoLocalTime(sessionStarted.toLocalTime());
    const QString written = isoLocalTime(row.written.toLocalTime());
    record.fields.insert(QStringLiteral("session_started"), started);
    record.fields.insert(QStringLiteral("time"), written);
    record.cells << started << written;
    const QStringList& keys = journalCellKeys();
    for (qsizetype c = 0; c < keys.size(); ++c) {
        record.fields.insert(keys.at(c), row.cells.value(c));
        record.cells << row.cells.value(c);
    }
    // A row the user deleted is no reading of the table: when it went, or nothing.
    const QString deleted =
        row.deleted.isValid() ? isoLocalTime(row.deleted.toLocalTime()) : QString();
    record.fields.insert(QStringLiteral("deleted"),
                         deleted.isEmpty() ? QJsonValue() : QJsonValue(deleted));
    record.cells << deleted;
    return record;
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
