#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>

namespace zr::records {

// What a spreadsheet makes of a text assigned to a cell under the user's locale.
struct SpreadsheetValue {
    enum class Kind { Text, Number, DateTime };
    Kind kind = Kind::Text;
    double number = 0;
    QDateTime dateTime;
    // For a date and time: the spreadsheet's number format that shows it as the same text.
    QString numberFormat;
};

// A number when the text is an integer or a decimal with the locale's decimal separator,
// otherwise text. Only what shows again as the very same text is converted, so that no digit or
// leading zero is lost.
SpreadsheetValue spreadsheetValue(const QString& text, const QLocale& locale = QLocale());

// The same for a cell of the timestamp column, which may also be a date and time written as the
// measurement table writes its timestamps.
SpreadsheetValue timestampColumnValue(const QString& text, const QLocale& locale = QLocale());

// The spreadsheet's number format code for a Qt date-time format.
QString spreadsheetDateTimeFormat(const QString& qtFormat);

} // namespace zr::records
