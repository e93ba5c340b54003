#include "records/Export.h"

#include "common/AppError.h"
#include "common/Cp1251.h"
#include "common/HandlerRegistry.h"
#include "common/TextGrid.h"
#include "records/BusyCursor.h"
#include "common/FileAccess.h"
#include "records/SaveDialogPort.h"

namespace zr::records {

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
    QString failure;
    {
        BusyCursorScope busy(ports_.busyCursor);
        const WorkbookBytes book = ports_.writeWorkbook(ports_.table);
        failure =
            book.failure.isEmpty() ? ports_.files.replace(fileName, book.bytes) : book.failure;
    }
    if (!failure.isEmpty()) {
        throw common::AppError(common::cannotCreateFileMessage(fileName, failure));
    }
}

} // namespace zr::records
