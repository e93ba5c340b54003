#pragma once

#include "records/MeasurementRow.h"

class QPagedPaintDevice;

namespace zr::records {

// Paints the measurement table's rows, as the grid shows them, under the report's headers onto a
// printer (or its preview), page by page, with the header row repeated at the top of every page.
// Every text is printed whole: short columns keep their text on one line, long texts wrap inside
// their cells, and a row taller than a page goes on over the next pages. Cost is linear in the
// rows: each row is measured once. Returns the number of pages painted.
int paintReport(QPagedPaintDevice& device, const MeasurementRows& rows);

} // namespace zr::records
