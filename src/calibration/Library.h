#pragma once

#include "calibration/LibraryFile.h"
#include "calibration/LibraryModel.h"
#include "calibration/WizardResult.h"
#include "device/connection/ControllerContext.h"

#include <QString>
#include <functional>
#include <optional>
#include <vector>

namespace zr::common {
class FileAccess;
}

namespace zr::calibration {

class MeterCalibrations;

// The name and comment of a library entry as the entry dialog shows them: the comment's
// lines separated by "\n".
struct LibraryEntryText {
    QString name;
    QString comment;
    bool operator==(const LibraryEntryText&) const = default;
};

// The computer calibration library, the library window without its widgets: the entries of
// "data.zr" in the window's grid, created with the wizard, deleted, edited and copied into the
// meter's next free slot. Each change is made to the file as it is on disk when the user makes
// it, another program's entries included, and written at once; the window then shows what the
// file holds. Nothing else writes the file.
class Library {
public:
    // The dialogs the library opens; each returns nothing when cancelled.
    struct Dialogs {
        std::function<std::optional<WizardResult>()> runWizard;
        std::function<std::optional<LibraryEntryText>(const LibraryEntryText&)> editEntry;
    };

    // `path` is the library file's.
    Library(connection::ControllerContext context, MeterCalibrations& calibrations,
            common::FileAccess& files, QString path, Dialogs dialogs);

    // The first entries, as the window's grid shows them; its current row is the user's choice.
    LibraryModel& model() { return model_; }

    void reload();
    void showHeaders();
    // "Создать", "Удалить", "Копировать в прибор", "Изменить" and a double click on the grid.
    void createEntry();
    void deleteSelectedEntry();
    void copySelectedEntryToMeter();
    void editSelectedEntry();
    void editOnDoubleClick() { editSelectedEntry(); }

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
    using Records = std::vector<LibraryRecord>;

    void load();
    void reportUnread(const QString& reason);
    // True, after telling the user, when the file was not read and so must not be written.
    bool refuseUnreadFile();
    // True, after telling the user, when `entries` are as many as the program reads.
    bool refuseFullLibrary(std::size_t entries);
    void warnOfTextChanges(const QString& name, const QString& comment);
    // The file's records as they are now; nothing, after telling the user, when it cannot be read.
    std::optional<Records> readFile();
    // Writes `records` as the whole file, then shows what the file holds: `records`, or
    // `onDisk` when the write failed. True when written.
    bool writeFile(Records records, Records onDisk);
    void show(Records records);
    // The entry of the selected row, or nothing when the row holds none.
    std::optional<std::size_t> selectedEntry() const;

    connection::ControllerContext context_;
    MeterCalibrations& calibrations_;
    LibraryModel model_;
    common::FileAccess& files_;
    QString path_;
    Dialogs dialogs_;
    std::vector<LibraryRecord> entries_;
    // Set while an existing file could not be read at start: the user is told to mend it first.
    bool fileUnread_ = false;
};

} // namespace zr::calibration
