#pragma once

#include "calibration/Library.h"

#include <QDialog>
#include <optional>

class QLineEdit;
class QPlainTextEdit;

namespace zr::calibration {

// edits the name and comment of a library entry.
class LibraryEntryDialog : public QDialog {
    Q_OBJECT
public:
    explicit LibraryEntryDialog(QWidget* parent = nullptr);

    // Shows `shown` modally; what the user left in the fields when closed with "OK".
    std::optional<LibraryEntryText> edit(const LibraryEntryText& shown);

    QLineEdit* nameEdit() const { return nameEdit_; }
    QPlainTextEdit* commentMemo() const { return commentMemo_; }

private:
    QLineEdit* nameEdit_;
    QPlainTextEdit* commentMemo_;
};

} // namespace zr::calibration
