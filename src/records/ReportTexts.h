#pragma once

#include "records/MeasurementTableTexts.h"

#include <QString>
#include <array>

namespace zr::records {

// The title of the workbook's sheet.
inline constexpr const char* kWorkbookTitle = "ZR-6040 USB";

// The title of the print report and of its preview.
inline QString printReportTitle() {
    return QStringLiteral("Октанометр ZR6040 серия 60");
}

// The column headers of the exported and printed table: the table's own headers, with "№" over
// the number column.
inline std::array<QString, 7> reportHeaders() {
    std::array<QString, 7> headers = measurementTableHeaders();
    headers[0] = QStringLiteral("№");
    return headers;
}

} // namespace zr::records
