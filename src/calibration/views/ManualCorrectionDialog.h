#pragma once

#include <QDialog>

namespace zr::calibration {

// TForm6: sets a method's linear correction.
class ManualCorrectionDialog : public QDialog {
    Q_OBJECT
public:
    explicit ManualCorrectionDialog(QWidget* parent = nullptr) : QDialog(parent) {
        setObjectName(QStringLiteral("Form6"));
        setWindowTitle(QStringLiteral("Manual correction."));
    }
};

} // namespace zr::calibration
