#pragma once

#include "records/WorkbookWriter.h"

#include <QLocale>
#include <QString>

namespace zr::records {

// The measurement table as an Office Open XML workbook: the title over A1:B1, the headers in row
// 3, grid row i in sheet row i + 3, entry row included. Texts that read as numbers under `locale`
// are numbers, the timestamp column's timestamps dates. libxlsxwriter's scratch files and the
// workbook itself are made without names in `scratchDir`, so that nothing of them outlives the
// program.
WorkbookBytes tableWorkbook(const common::TextGrid& table, const QString& scratchDir,
                            const QLocale& locale = QLocale());

// The program's writer: tableWorkbook in a ScratchDirectory under the temporary directory of the
// moment.
WorkbookWriter xlsxWorkbookWriter(const QLocale& locale = QLocale());

} // namespace zr::records
