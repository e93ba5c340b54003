#include "records/MeasurementTableModel.h"

#include "common/NumberFormat.h"
#include "device/connection/MethodNames.h"
#include "records/MeasurementTableTexts.h"

namespace zr::records {

namespace {

// The method code whose Метод cell shows `text`.
std::optional<int> methodOf(const QString& text) {
    for (int code = 1; code <= 4; ++code) {
        if (connection::methodName(code) == text) {
            return code;
        }
    }
    bool number = false;
    const int code = text.toInt(&number);
    return number ? std::optional(code) : std::nullopt;
}

// Puts `text` into the field of `column`; false when the field cannot hold it.
bool setField(MeasurementRow& row, int column, const QString& text, const QLocale& locale) {
    const bool blank = text == QLatin1String(" ");
    switch (column) {
    case MeasurementRow::NumberColumn:
    case MeasurementRow::GradeColumn:
    case MeasurementRow::TankColumn:
    case MeasurementRow::SupplierColumn:
        row.listText(column) = text;
        return true;
    case MeasurementRow::MethodColumn:
        row.method = blank ? std::nullopt : methodOf(text);
        return blank || row.method.has_value();
    case MeasurementRow::ValueColumn: {
        bool number = false;
        const double value = locale.toDouble(text, &number);
        row.value = number ? std::optional(value) : std::nullopt;
        row.valueDecimals = common::kGeneralFormat;
        return blank || number;
    }
    default:
        // A date and time typed by hand stays the text it is.
        return false;
    }
}

} // namespace

MeasurementTableModel::MeasurementTableModel(QObject* parent)
    : RowModel(MeasurementRow::kColumns, parent) {
    QStringList headers;
    for (const QString& header : measurementTableHeaders()) {
        headers << header;
    }
    setHeaders(headers);
    appendRow({});
}

QString MeasurementTableModel::cellText(const MeasurementRow& row, int column) const {
    return measurementCellText(row, column);
}

bool MeasurementTableModel::typeIn(MeasurementRow& row, int column, const QString& text) const {
    const QLocale locale;
    const auto slot = static_cast<std::size_t>(column);
    if (row.isEmpty()) {
        // The other cells of the entry row stay empty.
        row.typed.fill(QString());
    }
    MeasurementRow fitted = row;
    fitted.typed[slot].reset();
    if (setField(fitted, column, text, locale) &&
        measurementCellText(fitted, column, locale) == text) {
        row = fitted;
    } else {
        row.typed[slot] = text;
    }
    return true;
}

} // namespace zr::records
