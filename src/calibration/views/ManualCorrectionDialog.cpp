#include "calibration/views/ManualCorrectionDialog.h"

#include "calibration/ManualCorrection.h"
#include "calibration/views/UpDown.h"
#include "common/HandlerGuard.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>

namespace zr::calibration {

namespace {
constexpr QSize kClientSize(254, 228);
constexpr int kEditFontPixels = 40;
} // namespace

ManualCorrectionDialog::ManualCorrectionDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("Form6"));
    setWindowTitle(QStringLiteral("Manual correction."));
    setFixedSize(kClientSize);

    methodLabel_ = new QLabel(QStringLiteral("Method for change of correction"), this);
    methodLabel_->setObjectName(QStringLiteral("Label1"));
    methodLabel_->setTextFormat(Qt::PlainText);
    methodLabel_->setGeometry(8, 8, 238, 16);

    methodList_ = new QComboBox(this);
    methodList_->setObjectName(QStringLiteral("ComboBox1"));
    methodList_->setGeometry(8, 26, 238, 22);
    methodList_->addItems(
        {QStringLiteral("RON"), QStringLiteral("MON"), QStringLiteral("Cetane number")});
    methodList_->setCurrentIndex(-1);

    correctionGroup_ = new QGroupBox(QStringLiteral("To set / change correction"), this);
    correctionGroup_->setObjectName(QStringLiteral("GroupBox1"));
    correctionGroup_->setGeometry(8, 58, 238, 120);

    correctionEdit_ = new QLineEdit(QStringLiteral("0"), correctionGroup_);
    correctionEdit_->setObjectName(QStringLiteral("Edit1"));
    correctionEdit_->setReadOnly(true);
    QFont large = correctionEdit_->font();
    large.setPixelSize(kEditFontPixels);
    large.setBold(true);
    correctionEdit_->setFont(large);
    correctionEdit_->setGeometry(16, 28, 160, 64);

    upDown_ = new UpDown(correctionGroup_);
    upDown_->setObjectName(QStringLiteral("UpDown1"));
    upDown_->setRange(manual_correction::kMinPosition, manual_correction::kMaxPosition);
    upDown_->setPosition(0);
    upDown_->setGeometry(180, 28, 24, 64);

    closeButton_ = new QPushButton(QStringLiteral("Close"), this);
    closeButton_->setObjectName(QStringLiteral("Button1"));
    closeButton_->setGeometry(40, 190, 75, 25);
    applyButton_ = new QPushButton(QStringLiteral("Apply"), this);
    applyButton_->setObjectName(QStringLiteral("Button2"));
    applyButton_->setGeometry(139, 190, 75, 25);
    applyButton_->setAutoDefault(false);
    closeButton_->setAutoDefault(false);

    // Only the user's choice is a change of method: the program setting the index is not.
    connect(methodList_, &QComboBox::activated, this, [this](int index) {
        run([this, index] { display(controller_->chooseMethod(index)); });
    });
    connect(upDown_, &UpDown::clicked, this, [this] {
        run([this] {
            correctionEdit_->setText(ManualCorrection::textForPosition(upDown_->position()));
        });
    });
    connect(closeButton_, &QPushButton::clicked, this, &QDialog::reject);
    connect(applyButton_, &QPushButton::clicked, this,
            [this] { run([this] { controller_->applyCorrection(correctionEdit_->text()); }); });
}

void ManualCorrectionDialog::attach(ManualCorrection& controller,
                                    const common::HandlerGuard* guard) {
    controller_ = &controller;
    guard_ = guard;
}

void ManualCorrectionDialog::run(const std::function<void()>& handler) {
    if (!controller_) {
        return;
    }
    if (guard_) {
        guard_->run(handler);
    } else {
        handler();
    }
}

void ManualCorrectionDialog::display(const CorrectionShown& shown) {
    methodList_->setCurrentIndex(shown.methodIndex);
    if (shown.text) {
        correctionEdit_->setText(*shown.text);
    }
    if (shown.position) {
        upDown_->setPosition(*shown.position);
    }
}

void ManualCorrectionDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous()) {
        return; // the window system showing it again, not the dialog being opened
    }
    run([this] { display(controller_->takeMethodInForce()); });
}

} // namespace zr::calibration
