#pragma once

#include "calibration/Library.h"

#include <QDialog>
#include <optional>

class QLineEdit;
class QPlainTextEdit;

namespace zr::calibration {

// TForm2: edits the name and comment of a library entry.
class LibraryEntryDialog : public QDialog {
    Q_OBJECT
public:
    explicit LibraryEntryDialog(QWidget* parent = nullptr);

    // Shows `shown` modally; what the user left in the fields when closed with "OK".
    std::optional<LibraryEntryText> edit(const LibraryEntryText& shown);

    QLineEdit* edit1() const { return edit1_; }
    QPlainTextEdit* memo1() const { return memo1_; }

private:
    QLineEdit* edit1_;
    QPlainTextEdit* memo1_;
};

} // namespace zr::calibration
