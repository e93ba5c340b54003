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

    label1_ = new QLabel(QStringLiteral("Method for change of correction"), this);
    label1_->setObjectName(QStringLiteral("Label1"));
    label1_->setTextFormat(Qt::PlainText);
    label1_->setGeometry(8, 8, 238, 16);

    comboBox1_ = new QComboBox(this);
    comboBox1_->setObjectName(QStringLiteral("ComboBox1"));
    comboBox1_->setGeometry(8, 26, 238, 22);
    comboBox1_->addItems(
        {QStringLiteral("RON"), QStringLiteral("MON"), QStringLiteral("Cetane number")});
    comboBox1_->setCurrentIndex(-1);

    groupBox1_ = new QGroupBox(QStringLiteral("To set / change correction"), this);
    groupBox1_->setObjectName(QStringLiteral("GroupBox1"));
    groupBox1_->setGeometry(8, 58, 238, 120);

    edit1_ = new QLineEdit(QStringLiteral("0"), groupBox1_);
    edit1_->setObjectName(QStringLiteral("Edit1"));
    edit1_->setReadOnly(true);
    QFont large = edit1_->font();
    large.setPixelSize(kEditFontPixels);
    large.setBold(true);
    edit1_->setFont(large);
    edit1_->setGeometry(16, 28, 160, 64);

    upDown1_ = new UpDown(groupBox1_);
    upDown1_->setObjectName(QStringLiteral("UpDown1"));
    upDown1_->setRange(manual_correction::kMinPosition, manual_correction::kMaxPosition);
    upDown1_->setPosition(0);
    upDown1_->setGeometry(180, 28, 24, 64);

    button1_ = new QPushButton(QStringLiteral("Close"), this);
    button1_->setObjectName(QStringLiteral("Button1"));
    button1_->setGeometry(40, 190, 75, 25);
    button2_ = new QPushButton(QStringLiteral("Apply"), this);
    button2_->setObjectName(QStringLiteral("Button2"));
    button2_->setGeometry(139, 190, 75, 25);
    button2_->setAutoDefault(false);
    button1_->setAutoDefault(false);

    // Only the user's choice is a change of method: the program setting the index is not.
    connect(comboBox1_, &QComboBox::activated, this, [this](int index) {
        run([this, index] { display(controller_->ComboBox1Change(index)); });
    });
    connect(upDown1_, &UpDown::clicked, this, [this] {
        run([this] { edit1_->setText(ManualCorrection::UpDown1Click(upDown1_->position())); });
    });
    connect(button1_, &QPushButton::clicked, this, &QDialog::reject);
    connect(button2_, &QPushButton::clicked, this,
            [this] { run([this] { controller_->Button2Click(edit1_->text()); }); });
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
    comboBox1_->setCurrentIndex(shown.methodIndex);
    if (shown.text) {
        edit1_->setText(*shown.text);
    }
    if (shown.position) {
        upDown1_->setPosition(*shown.position);
    }
}

void ManualCorrectionDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous()) {
        return; // the window system showing it again, not the dialog being opened
    }
    run([this] { display(controller_->FormShow()); });
}

} // namespace zr::calibration
