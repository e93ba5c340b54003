#pragma once

#include "calibration/TwoPointCalibration.h"
#include "common/HandlerGuard.h"

#include <QDialog>
#include <array>
#include <functional>
#include <optional>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QStackedWidget;

namespace zr::calibration {

class CurrencyEdit;

// TForm3: works out K1 and K2 of a new calibration from two reference fuels. A view on
// TwoPointCalibration.
class CorrectionWizard : public QDialog {
    Q_OBJECT
public:
    explicit CorrectionWizard(connection::ControllerContext context, QWidget* parent = nullptr);

    // Shows the wizard modally; the result when it was finished with OK.
    std::optional<WizardResult> run();

    TwoPointCalibration& wizard() { return wizard_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildPage0();
    void buildPage1();
    void buildPage2();
    void buildPage3();
    void buildPage4();
    QGroupBox* buildFuelGroup(int side, const QString& title);
    // Runs a handler under the guard, shows the wizard's state and closes on its OK.
    void act(const std::function<void()>& handler);
    void render();

    TwoPointCalibration wizard_;
    common::HandlerGuard guard_;

    QLabel* label1_ = nullptr;
    QStackedWidget* pages_ = nullptr;
    QComboBox* comboBox1_ = nullptr;
    std::array<CurrencyEdit*, TwoPointCalibration::kFields> values_{};
    std::array<QGroupBox*, 2> groups_{};
    std::array<QPushButton*, 2> takeButtons_{};
    std::array<QPushButton*, 2> rememberButtons_{};
    std::array<QLabel*, 2> statusLabels_{};
    QLineEdit* edit1_ = nullptr;
    QLineEdit* edit2_ = nullptr;
    QLineEdit* edit3_ = nullptr;
    QPlainTextEdit* memo2_ = nullptr;
    QPushButton* button3_ = nullptr;
    QPushButton* button4_ = nullptr;
};

} // namespace zr::calibration
