#pragma once

#include "calibration/TwoPointCalibration.h"
#include "common/HandlerGuard.h"

#include <QDialog>
#include <array>
#include <functional>
#include <optional>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QStackedWidget;

namespace zr::calibration {

class OctaneEdit;
class WizardMethodList;

// works out K1 and K2 of a new calibration from two reference fuels. A view on
// TwoPointCalibration.
class CorrectionWizard : public QDialog {
    Q_OBJECT
public:
    CorrectionWizard(connection::ControllerContext context, const MeterCalibrations& calibrations,
                     QWidget* parent = nullptr);

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

    QLabel* headingLabel_ = nullptr;
    QStackedWidget* pages_ = nullptr;
    WizardMethodList* methodList_ = nullptr;
    std::array<OctaneEdit*, TwoPointCalibration::kFields> values_{};
    std::array<QGroupBox*, 2> groups_{};
    std::array<QPushButton*, 2> takeButtons_{};
    std::array<QPushButton*, 2> rememberButtons_{};
    std::array<QLabel*, 2> statusLabels_{};
    QLineEdit* k1Edit_ = nullptr;
    QLineEdit* k2Edit_ = nullptr;
    QLineEdit* nameEdit_ = nullptr;
    QPlainTextEdit* commentMemo_ = nullptr;
    QPushButton* mainButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
};

} // namespace zr::calibration
