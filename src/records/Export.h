#pragma once

#include "records/MeasurementRow.h"
#include "records/StoredValuesModel.h"
#include "records/WorkbookWriter.h"

#include <QByteArray>
#include <QString>

namespace zr::common {
class FileAccess;
class HandlerRegistry;
} // namespace zr::common

namespace zr::records {

class BusyCursor;
class MeasurementTableModel;
class SaveDialogPort;

// Saving the measurement table or the stored values as a workbook or a text file.
class Export {
public:
    struct Ports {
        const MeasurementTableModel& table;    // StringGrid3's rows
        const StoredValuesModel& storedValues; // StringGrid2's rows
        SaveDialogPort& saveDialog;
        WorkbookWriter writeWorkbook;
        common::FileAccess& files;
        BusyCursor& busyCursor;
    };

    explicit Export(Ports ports);

    void registerHandlers(common::HandlerRegistry& handlers);

    // "Сохранить как...": the text type writes the stored values.
    void saveTableAs();
    // "Сохранить таблицу" of the header strip: the text type writes the measurement table.
    void saveTable();

    // Throw common::AppError with the message for the user.
    void exportTextFile(const QByteArray& text, const QString& fileName);
    void exportTableToWorkbook(const QString& fileName);

private:
    enum class TextOf { Table, StoredValues };
    void save(TextOf text);

    Ports ports_;
};

// The text files of the table's and the stored values' rows as their grids show them: every
// cell followed by CR LF, one more CR LF after each row, in code page 1251; no header.
QByteArray tableText(const MeasurementRows& rows);
QByteArray storedValuesText(const QList<StoredValueRow>& rows);

} // namespace zr::records
