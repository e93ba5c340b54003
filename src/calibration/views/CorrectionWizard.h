#pragma once

#include <QDialog>

namespace zr::calibration {

// TForm3: works out K1 and K2 of a new calibration from two reference fuels.
class CorrectionWizard : public QDialog {
    Q_OBJECT
public:
    explicit CorrectionWizard(QWidget* parent = nullptr) : QDialog(parent) {
        setObjectName(QStringLiteral("Form3"));
        setWindowTitle(QStringLiteral("Коррекция..."));
    }
};

} // namespace zr::calibration
