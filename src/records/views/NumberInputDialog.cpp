#include "records/views/NumberInputDialog.h"

#include "records/views/InputDialogLabel.h"
#include "ui/BlankTitle.h"

#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <limits>

namespace zr::records {

NumberInputDialog::NumberInputDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Form4"));
    ui::setBlankWindowTitle(this);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(318, 101);

    makeInputDialogLabel(this, 318);

    numberBox_ = new QSpinBox(this);
    numberBox_->setObjectName(QStringLiteral("SpinEdit1"));
    numberBox_->setRange(std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
    numberBox_->setSingleStep(1);
    numberBox_->setValue(0);
    numberBox_->setGeometry(96, 38, 121, 22);

    okButton_ = new QPushButton(QStringLiteral("Ok"), this);
    okButton_->setObjectName(QStringLiteral("Button1"));
    okButton_->setGeometry(120, 68, 75, 25);
    okButton_->setDefault(true);
    connect(okButton_, &QPushButton::clicked, this, &NumberInputDialog::acceptNumber);
}

std::optional<int> NumberInputDialog::ask() {
    result_.reset();
    numberBox_->setValue(0);
    numberBox_->selectAll();
    numberBox_->setFocus();
    exec();
    return result_;
}

void NumberInputDialog::acceptNumber() {
    // A text that is not a number counts as 0.
    bool ok = false;
    const int value = numberBox_->locale().toInt(numberBox_->cleanText(), &ok);
    if (!ok || value == 0) {
        return;
    }
    result_ = value;
    accept();
}

} // namespace zr::records
