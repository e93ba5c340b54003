#pragma once

#include "records/MeasurementRow.h"

#include <QByteArray>
#include <QString>

namespace zr::records {

inline constexpr const char* kPrintReportFile = "tmp1.html";

// The print report of the measurement table: HTML in code page 1251, one element per line, CR LF
// after every line; the header row, then every row including the entry row, as the grid shows
// them. Cell texts are HTML-escaped so that markup characters print as typed.
QByteArray printReportBytes(const MeasurementRows& rows);

} // namespace zr::records
