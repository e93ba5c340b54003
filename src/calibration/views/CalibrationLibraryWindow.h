#pragma once

#include <QDialog>

namespace zr::calibration {

// TForm1: the computer calibration library.
class CalibrationLibraryWindow : public QDialog {
    Q_OBJECT
public:
    explicit CalibrationLibraryWindow(QWidget* parent = nullptr) : QDialog(parent) {
        setObjectName(QStringLiteral("Form1"));
        setWindowTitle(QStringLiteral("Управление калибровками"));
    }
};

} // namespace zr::calibration
