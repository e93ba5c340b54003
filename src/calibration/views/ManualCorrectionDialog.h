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

// TForm6 "Manual correction.": sets a method's linear correction in tenths and applies it. What
// it shows and sends comes from the ManualCorrection controller it is attached to.
class ManualCorrectionDialog : public QDialog {
    Q_OBJECT
public:
    explicit ManualCorrectionDialog(QWidget* parent = nullptr);

    // The controller behind the dialog and the guard its handlers run in; until attached the
    // dialog does nothing.
    void attach(ManualCorrection& controller, const common::HandlerGuard* guard = nullptr);

    QComboBox* methodList() const { return comboBox1_; }
    QLineEdit* edit() const { return edit1_; }
    UpDown* upDown() const { return upDown1_; }
    QPushButton* closeButton() const { return button1_; }
    QPushButton* applyButton() const { return button2_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void run(const std::function<void()>& handler);
    void display(const CorrectionShown& shown);

    ManualCorrection* controller_ = nullptr;
    const common::HandlerGuard* guard_ = nullptr;

    QLabel* label1_;
    QComboBox* comboBox1_;
    QGroupBox* groupBox1_;
    QLineEdit* edit1_;
    UpDown* upDown1_;
    QPushButton* button1_;
    QPushButton* button2_;
};

} // namespace zr::calibration
