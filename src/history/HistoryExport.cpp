#include "history/HistoryExport.h"

#include "common/CsvField.h"
#include "common/FileAccess.h"
#include "history/HistoryTableModel.h"
#include "journal/TableJournal.h"
#include "records/Export.h"
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

// The rows as the measurement table held them.
records::MeasurementRows tableRows(const std::vector<HistoryRecord>& records) {
    records::MeasurementRows rows;
    rows.reserve(static_cast<qsizetype>(records.size()));
    for (const HistoryRecord& record : records) {
        rows << journal::measurementRow(record.row);
    }
    return rows;
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
        bytes = records::tableText(tableRows(records));
        break;
    case Type::Spreadsheet:
    case Type::Workbook: {
        const records::WorkbookBytes book = writeWorkbook_(tableRows(records), fileName);
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
