#pragma once

#include "records/WorkbookWriter.h"

#include <QLocale>
#include <QString>

namespace zr::records {

// The measurement table's rows as an Office Open XML workbook: the title over A1:B1, the headers
// in row 3, the rows from row 4 on, entry row included; each cell as workbookCell says under
// `locale`. libxlsxwriter's scratch files and the workbook itself are made without names in
// `scratchDir`, so that nothing of them outlives the program.
WorkbookBytes tableWorkbook(const MeasurementRows& rows, const QString& scratchDir,
                            const QLocale& locale = QLocale());

// The program's writer: tableWorkbook in a ScratchDirectory under the temporary directory of the
// moment, or else beside the target.
WorkbookWriter xlsxWorkbookWriter(const QLocale& locale = QLocale());

} // namespace zr::records
