#pragma once

#include <QString>
#include <optional>

namespace zr::records {

// The file types of the save dialog, by their position in its filter.
enum class SaveFileType {
    Spreadsheet = 1, // "Microsoft Excel (*.xls)"
    Text = 2,        // "Текстовый файл (*.txt)"
    Workbook = 3,    // "Книга Excel (*.xlsx)"
};

struct SaveChoice {
    SaveFileType type;
    QString fileName;
};

// SaveDialog as the export sees it.
class SaveDialogPort {
public:
    virtual ~SaveDialogPort() = default;
    // Nothing when the user cancelled.
    virtual std::optional<SaveChoice> execute() = 0;
};

} // namespace zr::records
