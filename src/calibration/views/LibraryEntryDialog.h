#pragma once

#include <QDialog>

namespace zr::calibration {

// TForm2: edits the name and comment of a library entry.
class LibraryEntryDialog : public QDialog {
    Q_OBJECT
public:
    explicit LibraryEntryDialog(QWidget* parent = nullptr) : QDialog(parent) {
        setObjectName(QStringLiteral("Form2"));
        setWindowTitle(QStringLiteral("Редактирование"));
    }
};

} // namespace zr::calibration
