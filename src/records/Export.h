#pragma once

#include "records/WorkbookWriter.h"

#include <QByteArray>
#include <QString>

namespace zr::common {
class FileAccess;
class HandlerRegistry;
class TextGrid;
} // namespace zr::common

namespace zr::records {

class BusyCursor;
class SaveDialogPort;

// Saving the measurement table or the stored values as a workbook or a text file.
class Export {
public:
    struct Ports {
        common::TextGrid& table;        // StringGrid3, the measurement table
        common::TextGrid& storedValues; // StringGrid2
        SaveDialogPort& saveDialog;
        WorkbookWriter writeWorkbook;
        common::FileAccess& files;
        BusyCursor& busyCursor;
    };

    explicit Export(Ports ports);

    void registerHandlers(common::HandlerRegistry& handlers);

    // "Сохранить как...": the text type writes the stored values.
    void N13Click();
    // "Сохранить таблицу" of the header strip: the text type writes the measurement table.
    void SaveTable();

    // Throw common::AppError with the message for the user.
    void ExportGridToText(const common::TextGrid& grid, const QString& fileName);
    void ExportTableToSpreadsheet(const QString& fileName);

private:
    void save(const common::TextGrid& textGrid);

    Ports ports_;
};

// The text file of a grid's body rows (the header row is not written): every cell followed by
// CR LF, one more CR LF after each row, in code page 1251.
QByteArray gridText(const common::TextGrid& grid);

} // namespace zr::records
