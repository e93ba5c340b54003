#pragma once

#include "history/HistoryDatabase.h"
#include "records/WorkbookWriter.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

namespace zr::common {
class FileAccess;
}

namespace zr::history {

// The history's rows saved the way the measurement table is saved (the table's workbook or text
// file of its rows), or as CSV with every column of the history.
class HistoryExport {
public:
    // By their place in the save dialog's filters (exportFilters()).
    enum class Type { Spreadsheet = 1, Text, Workbook, Csv };

    HistoryExport(records::WorkbookWriter writeWorkbook, common::FileAccess& files);

    // Replaces the file only once the new one is whole. Returns why it could not be written,
    // empty when it was.
    QString write(const std::vector<HistoryRecord>& records, Type type, const QString& fileName);

private:
    records::WorkbookWriter writeWorkbook_;
    common::FileAccess& files_;
};

// The save dialog's filters: the table's own, then CSV.
QStringList exportFilters();
// The suffix a name typed without one gets, by type.
QString exportSuffix(HistoryExport::Type type);

// RFC 4180 with a header line of the history's columns, UTF-8 with a byte-order mark (which
// spreadsheets need to read it as UTF-8), every cell as the history shows it.
QByteArray historyCsv(const std::vector<HistoryRecord>& records);

} // namespace zr::history
