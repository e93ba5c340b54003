#include "ctl/Records.h"

#include "calibration/LibraryFile.h"
#include "common/Cp1251.h"
#include "common/NumberFormat.h"
#include "ctl/CtlText.h"
#include "ctl/RecordWriter.h"
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
    return yes ? CtlText::tr("yes") : CtlText::tr("no");
}

QString hex4(std::uint16_t value) {
    return QStringLiteral("%1").arg(value, 4, 16, QLatin1Char('0'));
}

QString methodText(int method) {
    const QString name = connection::methodName(method);
    return name.isEmpty() ? QString::number(method) : QStringLiteral("%1 %2").arg(method).arg(name);
}

} // namespace

Layout meterLayout() {
    return {{QStringLiteral("device"), QStringLiteral("serial"), QStringLiteral("read_write"),
             QStringLiteral("product"), QStringLiteral("usb_path")},
            {CtlText::tr("Device"), CtlText::tr("Serial number"), CtlText::tr("Read-write"),
             CtlText::tr("Product"), CtlText::tr("USB path")}};
}

Record meterRecord(const FoundMeter& meter) {
    return {{meter.devicePath, meter.serial, meter.readWrite, meter.product, meter.usbPath},
            {meter.devicePath, meter.serial, yesNo(meter.readWrite), meter.product, meter.usbPath}};
}

Layout infoLayout() {
    return {{QStringLiteral("device"), QStringLiteral("usb_path"), QStringLiteral("vendor_id"),
             QStringLiteral("product_id"), QStringLiteral("version"), QStringLiteral("product"),
             QStringLiteral("serial"), QStringLiteral("input_report_length"),
             QStringLiteral("output_report_length"), QStringLiteral("read_write"),
             QStringLiteral("method"), QStringLiteral("method_name"), QStringLiteral("table"),
             QStringLiteral("calibration_name"), QStringLiteral("k1"), QStringLiteral("k2")},
            {CtlText::tr("Device"), CtlText::tr("USB path"), CtlText::tr("Vendor"),
             CtlText::tr("Product ID"), CtlText::tr("Version"), CtlText::tr("Product"),
             CtlText::tr("Serial number"), CtlText::tr("Input report"),
             CtlText::tr("Output report"), CtlText::tr("Read-write"), CtlText::tr("Method"),
             CtlText::tr("Method name"), CtlText::tr("Table"), CtlText::tr("Calibration"),
             CtlText::tr("K1"), CtlText::tr("K2")}};
}

Record infoRecord(const MeterDescription& meter) {
    const connection::MeterFacts& facts = meter.facts;
    const protocol::StatusReport& status = meter.status;
    // The calibration in force: its slot, name, K1 and K2.
    const Record slot = meter.calibration
                            ? calibrationRecord(*meter.calibration)
                            : Record{{nullptr, nullptr, nullptr, nullptr}, {{}, {}, {}, {}}};
    return {{facts.devicePath, meter.usbPath, hex4(facts.vendorId), hex4(facts.productId),
             hex4(facts.versionNumber), facts.productName, facts.serialNumber,
             qint64{facts.inputReportLength}, qint64{facts.outputReportLength}, facts.readWrite,
             qint64{status.method}, connection::methodName(status.method),
             qint64{status.activeTable}, slot.values.at(1), slot.values.at(2), slot.values.at(3)},
            {facts.devicePath, meter.usbPath, hex4(facts.vendorId), hex4(facts.productId),
             hex4(facts.versionNumber), facts.productName, facts.serialNumber,
             QString::number(facts.inputReportLength), QString::number(facts.outputReportLength),
             yesNo(facts.readWrite), QString::number(status.method),
             connection::methodName(status.method), QString::number(status.activeTable),
             slot.cells.at(1), slot.cells.at(2), slot.cells.at(3)}};
}

Layout statusLayout() {
    return {{QStringLiteral("method"), QStringLiteral("method_name"), QStringLiteral("value"),
             QStringLiteral("correction"), QStringLiteral("table"), QStringLiteral("frequency"),
             QStringLiteral("frequency_valid"), QStringLiteral("stored_count")},
            {CtlText::tr("Method"), CtlText::tr("Value"), CtlText::tr("Correction"),
             CtlText::tr("Table"), CtlText::tr("Frequency"), CtlText::tr("In band"),
             CtlText::tr("Stored")}};
}

Layout watchLayout() {
    Layout layout = statusLayout();
    layout.keys.prepend(QStringLiteral("time"));
    layout.headers.prepend(CtlText::tr("Time"));
    layout.keys.append(QStringLiteral("seq"));
    layout.headers.append(CtlText::tr("No."));
    return layout;
}

Record watchRecord(const protocol::StatusReport& status, const QLocale& locale,
                   const FieldValue& time, qint64 seq) {
    const Record shown = statusRecord(status, locale);
    return {QList<FieldValue>{time} + shown.values + QList<FieldValue>{seq},
            QStringList{fieldText(time)} + shown.cells + QStringList{QString::number(seq)}};
}

Record statusRecord(const protocol::StatusReport& status, const QLocale& locale) {
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
    return record;
}

Layout storedValueLayout() {
    return {{QStringLiteral("number"), QStringLiteral("method"), QStringLiteral("method_name"),
             QStringLiteral("value")},
            {CtlText::tr("No."), CtlText::tr("Method"), CtlText::tr("Value")}};
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
            {CtlText::tr("No."), CtlText::tr("Name"), CtlText::tr("K1"), CtlText::tr("K2")}};
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
            {CtlText::tr("No."), CtlText::tr("Name"), CtlText::tr("Method"), CtlText::tr("K1"),
             CtlText::tr("K2"), CtlText::tr("Comment")}};
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
