#pragma once

#include <QDialog>
#include <functional>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace zr::common {
class HandlerGuard;
}

namespace zr::calibration {

class ManualCorrection;
struct CorrectionShown;
class UpDown;

// The dialog "Manual correction.": sets a method's linear correction in tenths and applies it. What
// it shows and sends comes from the ManualCorrection controller it is attached to.
class ManualCorrectionDialog : public QDialog {
    Q_OBJECT
public:
    explicit ManualCorrectionDialog(QWidget* parent = nullptr);

    // The controller behind the dialog and the guard its handlers run in; until attached the
    // dialog does nothing.
    void attach(ManualCorrection& controller, const common::HandlerGuard* guard = nullptr);

    QComboBox* methodList() const { return methodList_; }
    QLineEdit* edit() const { return correctionEdit_; }
    UpDown* upDown() const { return upDown_; }
    QPushButton* closeButton() const { return closeButton_; }
    QPushButton* applyButton() const { return applyButton_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void run(const std::function<void()>& handler);
    void display(const CorrectionShown& shown);

    ManualCorrection* controller_ = nullptr;
    const common::HandlerGuard* guard_ = nullptr;

    QLabel* methodLabel_;
    QComboBox* methodList_;
    QGroupBox* correctionGroup_;
    QLineEdit* correctionEdit_;
    UpDown* upDown_;
    QPushButton* closeButton_;
    QPushButton* applyButton_;
};

} // namespace zr::calibration
