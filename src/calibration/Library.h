#pragma once

#include "calibration/LibraryFile.h"
#include "calibration/WizardResult.h"
#include "device/connection/ControllerContext.h"

#include <QString>
#include <functional>
#include <optional>
#include <vector>

namespace zr::common {
class FileAccess;
class TextGrid;
}

namespace zr::calibration {

// The name and comment of a library entry as the edit dialog TForm2 shows them: the comment's
// lines separated by "\n".
struct LibraryEntryText {
    QString name;
    QString comment;
    bool operator==(const LibraryEntryText&) const = default;
};

// The computer calibration library, the window TForm1 without its widgets: the entries of
// "data.zr" in the window's grid, created with the wizard, deleted, edited and copied into the
// meter's next free slot.
class Library {
public:
    // The dialogs the library opens; each returns nothing when cancelled.
    struct Dialogs {
        std::function<std::optional<WizardResult>()> runWizard;
        std::function<std::optional<LibraryEntryText>(const LibraryEntryText&)> editEntry;
    };

    static constexpr int kGridRows = 100;
    static constexpr int kGridColumns = 6;

    // `path` is the library file's.
    Library(connection::ControllerContext context, common::TextGrid& grid,
            common::FileAccess& files, QString path, Dialogs dialogs);

    void FormCreate();
    void FormShow();
    // "Создать", "Удалить", "Копировать в прибор", "Изменить" and a double click on the grid.
    void Button1Click();
    void Button2Click();
    void Button3Click();
    void Button4Click();
    void StringGrid1DblClick() { Button4Click(); }
    void FormClose();

    const std::vector<LibraryRecord>& entries() const { return entries_; }
    // Empty while every entry has a grid row; otherwise how many entries the library holds.
    QString overflowText() const;

    // What the edit dialog shows for an entry, and the entry after the dialog's OK: a text the
    // user left as shown keeps its bytes.
    static LibraryEntryText entryText(const LibraryRecord& record);
    static void applyEntryText(LibraryRecord& record, const LibraryEntryText& shown,
                               const LibraryEntryText& edited);
    // The memo's text with every line followed by CR LF.
    static QString commentFromMemo(const QString& memoText);

private:
    void load();
    void reportUnread(const QString& reason);
    // True, after telling the user, when the file was not read and so must not be written.
    bool refuseUnreadFile();
    void warnOfTextChanges(const QString& name, const QString& comment);
    void saveAndShow();
    void showEntries();
    void showRow(int row, const LibraryRecord& record);
    // The entry of the selected grid row, or nothing when the row holds none.
    std::optional<std::size_t> selectedEntry() const;

    connection::ControllerContext context_;
    common::TextGrid& grid_;
    common::FileAccess& files_;
    QString path_;
    Dialogs dialogs_;
    std::vector<LibraryRecord> entries_;
    // Set while an existing file could not be read: its content is unknown, so closing the
    // window does not write over it.
    bool fileUnread_ = false;
};

} // namespace zr::calibration
