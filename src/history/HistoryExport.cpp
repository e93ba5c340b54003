#include "history/HistoryExport.h"

#include "common/CsvField.h"
#include "common/FileAccess.h"
#include "common/MemoryTextGrid.h"
#include "history/HistoryTableModel.h"
#include "records/Export.h"
#include "records/MeasurementRow.h"
#include "records/SaveDialogFilter.h"

namespace zr::history {

namespace {

QByteArray csvLine(const QStringList& cells) {
    QStringList fields;
    for (const QString& cell : cells) {
        fields << common::csvField(cell);
    }
    return fields.join(QLatin1Char(',')).toUtf8() + "\r\n";
}

// The rows as the measurement table held them: its seven cells each.
common::MemoryTextGrid tableGrid(const std::vector<HistoryRecord>& records) {
    common::MemoryTextGrid grid(records::MeasurementRow::kColumns,
                                static_cast<int>(records.size()) + 1);
    for (std::size_t r = 0; r < records.size(); ++r) {
        const QStringList cells = journal::shownTexts(records[r].row);
        for (int c = 0; c < records::MeasurementRow::kColumns; ++c) {
            grid.setCell(c, static_cast<int>(r) + 1, cells.value(c));
        }
    }
    return grid;
}

} // namespace

QStringList exportFilters() {
    return records::saveDialogFilters() << QStringLiteral("Файл CSV (*.csv)");
}

QString exportSuffix(HistoryExport::Type type) {
    return type == HistoryExport::Type::Csv
               ? QStringLiteral("csv")
               : records::saveDialogDefaultSuffix(static_cast<int>(type));
}

QByteArray historyCsv(const std::vector<HistoryRecord>& records) {
    QStringList headers;
    for (int c = 0; c < kHistoryColumnCount; ++c) {
        headers << historyColumnHeader(static_cast<HistoryColumn>(c));
    }
    QByteArray csv = QByteArrayLiteral("\xEF\xBB\xBF") + csvLine(headers);
    for (const HistoryRecord& record : records) {
        csv += csvLine(HistoryTableModel::texts(record));
    }
    return csv;
}

HistoryExport::HistoryExport(records::WorkbookWriter writeWorkbook, common::FileAccess& files)
    : writeWorkbook_(std::move(writeWorkbook)), files_(files) {}

QString HistoryExport::write(const std::vector<HistoryRecord>& records, Type type,
                             const QString& fileName) {
    QByteArray bytes;
    switch (type) {
    case Type::Csv:
        bytes = historyCsv(records);
        break;
    case Type::Text:
        bytes = records::gridText(tableGrid(records));
        break;
    case Type::Spreadsheet:
    case Type::Workbook: {
        const records::WorkbookBytes book = writeWorkbook_(tableGrid(records));
        if (!book.failure.isEmpty()) {
            return book.failure;
        }
        bytes = book.bytes;
        break;
    }
    }
    return files_.replace(fileName, bytes);
}

} // namespace zr::history
