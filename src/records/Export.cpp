#include "records/Export.h"

#include "common/AppError.h"
#include "common/Cp1251.h"
#include "common/FileAccess.h"
#include "common/HandlerRegistry.h"
#include "records/BusyCursor.h"
#include "records/MeasurementTableModel.h"
#include "records/SaveDialogPort.h"

namespace zr::records {

namespace {

template <typename Row, typename CellText>
QByteArray rowsText(const QList<Row>& rows, int columns, CellText cellText) {
    const QString lineEnd = QStringLiteral("\r\n");
    const QLocale locale;
    QString text;
    for (const Row& row : rows) {
        for (int column = 0; column < columns; ++column) {
            text += cellText(row, column, locale);
            text += lineEnd;
        }
        text += lineEnd;
    }
    return common::toCp1251(text);
}

} // namespace

QByteArray tableText(const MeasurementRows& rows) {
    return rowsText(rows, MeasurementRow::kColumns, measurementCellText);
}

QByteArray storedValuesText(const QList<StoredValueRow>& rows) {
    return rowsText(rows, StoredValuesModel::kColumns, storedValueCellText);
}

Export::Export(Ports ports) : ports_(std::move(ports)) {}

void Export::registerHandlers(common::HandlerRegistry& handlers) {
    handlers.add("saveTableAs", [this](int) { saveTableAs(); });
}

void Export::saveTableAs() {
    save(TextOf::StoredValues);
}

void Export::saveTable() {
    save(TextOf::Table);
}

void Export::save(TextOf text) {
    const std::optional<SaveChoice> choice = ports_.saveDialog.execute();
    if (!choice) {
        return;
    }
    if (choice->type != SaveFileType::Text) {
        exportTableToWorkbook(choice->fileName);
    } else if (text == TextOf::Table) {
        exportTextFile(tableText(ports_.table.rows()), choice->fileName);
    } else {
        exportTextFile(storedValuesText(ports_.storedValues.rows()), choice->fileName);
    }
}

void Export::exportTextFile(const QByteArray& text, const QString& fileName) {
    const QString failure = ports_.files.replace(fileName, text);
    if (!failure.isEmpty()) {
        throw common::AppError(common::cannotCreateFileMessage(fileName, failure));
    }
}

void Export::exportTableToWorkbook(const QString& fileName) {
    QString failure;
    {
        BusyCursorScope busy(ports_.busyCursor);
        const WorkbookBytes book = ports_.writeWorkbook(ports_.table.rows(), fileName);
        failure =
            book.failure.isEmpty() ? ports_.files.replace(fileName, book.bytes) : book.failure;
    }
    if (!failure.isEmpty()) {
        throw common::AppError(common::cannotCreateFileMessage(fileName, failure));
    }
}

} // namespace zr::records
