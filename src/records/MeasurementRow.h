#pragma once

#include "common/NumberFormat.h"

#include <QDateTime>
#include <QList>
#include <QLocale>
#include <QString>
#include <array>
#include <optional>

namespace zr::records {

// One row of the measurement table as data: what was chosen and measured, not how it is shown.
// A row with nothing in it is an empty row (the entry row); any other row shows an empty text
// as one space, so that a written cell is never empty.
struct MeasurementRow {
    static constexpr int kColumns = 7;
    enum Column {
        NumberColumn,
        GradeColumn,
        TankColumn,
        SupplierColumn,
        MethodColumn,
        ValueColumn,
        MomentColumn
    };

    // The texts as chosen in the four selection lists.
    QString number;
    QString grade;
    QString tank;
    QString supplier;
    // The method code whose name the Метод cell shows; none before the meter reported one.
    std::optional<int> method;
    // The number the Значение cell shows, shown as valueDecimals says (common::kOneDecimal or
    // common::kGeneralFormat).
    std::optional<double> value;
    int valueDecimals = common::kGeneralFormat;
    // When it was written, in UTC to the second; the Дата/Время cell shows it in local time.
    QDateTime moment;
    // What the user typed into a cell where no field above holds it; shown as typed.
    std::array<std::optional<QString>, kColumns> typed;

    // Holds nothing: shows seven empty cells.
    bool isEmpty() const;
    // The list text of column 0 to 3 (NumberColumn to SupplierColumn).
    QString& listText(int column);
    const QString& listText(int column) const;

    bool operator==(const MeasurementRow&) const = default;
};

using MeasurementRows = QList<MeasurementRow>;

// What the cell of `column` shows of `row`, in `locale`: the grid, the exports and the print
// report all show the same.
QString measurementCellText(const MeasurementRow& row, int column,
                            const QLocale& locale = QLocale());

// The Метод cell of a method code: its name, or the code in decimal for a code without one.
QString methodText(int methodCode);

// The date in the locale's short format, one space, the time in its long format with seconds
// and without the time zone, in local time.
QString measurementTimestamp(const QDateTime& moment, const QLocale& locale = QLocale());

// The Qt date-time format of those timestamps.
QString measurementTimestampFormat(const QLocale& locale = QLocale());

} // namespace zr::records
