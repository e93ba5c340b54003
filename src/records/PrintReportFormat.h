#pragma once

#include <QByteArray>
#include <QString>

namespace zr::common {
class TextGrid;
}

namespace zr::records {

inline constexpr const char* kPrintReportFile = "tmp1.html";

// The print report of the measurement table: HTML in code page 1251, one element per line, CR LF
// after every line; the header row, then every body row of the grid including its entry row. Cell
// texts are HTML-escaped so that markup characters print as typed.
QByteArray printReportBytes(const common::TextGrid& table);

} // namespace zr::records
