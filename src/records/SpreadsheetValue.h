#pragma once

#include "records/MeasurementRow.h"

#include <QDateTime>
#include <QLocale>
#include <QString>

namespace zr::records {

// What a workbook cell holds.
struct SpreadsheetValue {
    // A whole number is shown whole however narrow its column.
    enum class Kind { Blank, Text, Number, WholeNumber, DateTime };
    Kind kind = Kind::Blank;
    QString text;
    double number = 0;
    // In local time, as the table shows it.
    QDateTime dateTime;
};

// What a spreadsheet makes of a text under the user's locale: a number when the text is an
// integer or a decimal with the locale's decimal separator that shows again as the very same text
// (so that no digit or leading zero is lost), otherwise the text.
SpreadsheetValue spreadsheetValue(const QString& text, const QLocale& locale = QLocale());

// The workbook cell of `column` for `row`: the method, the value and the moment from the row's
// fields, the list texts as a spreadsheet reads them (a whole number in the № column as a whole
// number), and a text the user typed as that text.
SpreadsheetValue workbookCell(const MeasurementRow& row, int column,
                              const QLocale& locale = QLocale());

// The spreadsheet's number format code for a Qt date-time format.
QString spreadsheetDateTimeFormat(const QString& qtFormat);

} // namespace zr::records
