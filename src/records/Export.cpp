#include "records/Export.h"

#include "common/AppError.h"
#include "common/Cp1251.h"
#include "common/FileAccess.h"
#include "common/HandlerRegistry.h"
#include "common/TextGrid.h"
#include "records/BusyCursor.h"
#include "records/ReportTexts.h"
#include "records/SaveDialogPort.h"

namespace zr::records {

namespace {

constexpr int kSheetColumns = 7;
constexpr std::array<double, kSheetColumns> kColumnWidths{4, 30, 10, 30, 30, 10, 20};
constexpr double kColumnsFontSize = 8;
constexpr double kTitleFontSize = 15;
constexpr double kHeaderFontSize = 10;
constexpr int kTitleColorIndex = 8;
constexpr int kCentred = 3;
// Grid row i goes to sheet row i + kFirstSheetRow - 1.
constexpr int kHeaderSheetRow = 3;
constexpr int kFirstSheetRow = 4;

} // namespace

QByteArray gridText(const common::TextGrid& grid) {
    const QString lineEnd = QStringLiteral("\r\n");
    QString text;
    for (int row = 1; row < grid.rowCountWithHeader(); ++row) {
        for (int column = 0; column < grid.colCount(); ++column) {
            text += grid.cell(column, row);
            text += lineEnd;
        }
        text += lineEnd;
    }
    return common::toCp1251(text);
}

Export::Export(Ports ports) : ports_(std::move(ports)) {}

void Export::registerHandlers(common::HandlerRegistry& handlers) {
    handlers.add("N13Click", [this](int) { N13Click(); });
}

void Export::N13Click() {
    save(ports_.storedValues);
}

void Export::SaveTable() {
    save(ports_.table);
}

void Export::save(const common::TextGrid& textGrid) {
    const std::optional<SaveChoice> choice = ports_.saveDialog.execute();
    if (!choice) {
        return;
    }
    if (choice->type == SaveFileType::Text) {
        ExportGridToText(textGrid, choice->fileName);
    } else {
        ExportTableToSpreadsheet(choice->fileName);
    }
}

void Export::ExportGridToText(const common::TextGrid& grid, const QString& fileName) {
    const QString failure = ports_.files.replace(fileName, gridText(grid));
    if (!failure.isEmpty()) {
        throw common::AppError(common::cannotCreateFileMessage(fileName, failure));
    }
}

void Export::ExportTableToSpreadsheet(const QString& fileName) {
    std::unique_ptr<SpreadsheetServer> server = ports_.createServer();
    if (!server) {
        throw common::AppError(QStringLiteral("Error connect Excel"));
    }
    try {
        {
            BusyCursorScope busy(ports_.busyCursor);
            fillSheet(*server);
        }
        server->saveAs(1, fileName);
        server->closeWorkBook(1, false);
        server->quit();
    } catch (const SpreadsheetError& error) {
        // Releasing the server (below) ends it.
        throw common::AppError(error.text());
    }
}

void Export::fillSheet(SpreadsheetServer& server) const {
    server.setSheetsInNewWorkBook(1);
    server.addWorkBook();
    server.selectSheet(1, 1);
    for (int column = 1; column <= kSheetColumns; ++column) {
        server.setColumnWidth(column, kColumnWidths[static_cast<std::size_t>(column - 1)]);
    }
    server.setColumnsFontSize(kColumnsFontSize);

    const QString title = QStringLiteral("a1:b1");
    server.setRangeFontSize(title, kTitleFontSize);
    server.setRangeFontBold(title, true);
    server.setRangeInteriorColorIndex(title, kTitleColorIndex);
    server.setRangeHorizontalAlignment(title, kCentred);
    server.setCell(1, 2, QString::fromLatin1(kWorkbookTitle));

    const QString header = QStringLiteral("a3:g3");
    server.setRangeFontSize(header, kHeaderFontSize);
    server.setRangeFontBold(header, true);
    server.setRangeHorizontalAlignment(header, kCentred);
    const std::array<QString, 7> headers = reportHeaders();
    for (int column = 1; column <= kSheetColumns; ++column) {
        server.setCell(kHeaderSheetRow, column, headers[static_cast<std::size_t>(column - 1)]);
    }

    const common::TextGrid& grid = ports_.table;
    for (int row = 1; row < grid.rowCountWithHeader(); ++row) {
        const int sheetRow = row + kFirstSheetRow - 1;
        server.setRangeHorizontalAlignment(QStringLiteral("a%1:g%1").arg(sheetRow), kCentred);
        for (int column = 1; column <= kSheetColumns; ++column) {
            server.setCell(sheetRow, column, grid.cell(column - 1, row));
        }
    }
}

} // namespace zr::records
