#pragma once

#include "journal/Sqlite.h"
#include "journal/TableRow.h"

#include <QDateTime>

namespace zr::journal {

// The typed columns of measurement_row, in the order readRow and bindRow take them.
inline constexpr const char* kRowColumns =
    "number, grade, tank, supplier, method, value, value_decimals, moment, method_text, "
    "value_text, moment_text";
inline constexpr int kRowColumnCount = 11;

// The row in the kRowColumns from column `first` on.
TableRow readRow(const Statement& statement, int first);
// Binds the row to the parameters `first` … `first` + kRowColumnCount - 1.
void bindRow(Statement& statement, int first, const TableRow& row);

// A time as the journal keeps it: UTC, ISO 8601 with milliseconds and "Z".
QString timeText(const QDateTime& time);
// Binds the time's text, or null for an invalid time.
void bindTime(Statement& statement, int index, const QDateTime& time);
// Invalid for a null column.
QDateTime timeAt(const Statement& statement, int column);

} // namespace zr::journal
