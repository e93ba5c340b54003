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

    spinEdit1_ = new QSpinBox(this);
    spinEdit1_->setObjectName(QStringLiteral("SpinEdit1"));
    spinEdit1_->setRange(std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
    spinEdit1_->setSingleStep(1);
    spinEdit1_->setValue(0);
    spinEdit1_->setGeometry(96, 38, 121, 22);

    button1_ = new QPushButton(QStringLiteral("Ok"), this);
    button1_->setObjectName(QStringLiteral("Button1"));
    button1_->setGeometry(120, 68, 75, 25);
    button1_->setDefault(true);
    connect(button1_, &QPushButton::clicked, this, &NumberInputDialog::Button1Click);
}

std::optional<int> NumberInputDialog::ask() {
    result_.reset();
    spinEdit1_->setValue(0);
    spinEdit1_->selectAll();
    spinEdit1_->setFocus();
    exec();
    return result_;
}

void NumberInputDialog::Button1Click() {
    // A text that is not a number counts as 0.
    bool ok = false;
    const int value = spinEdit1_->locale().toInt(spinEdit1_->cleanText(), &ok);
    if (!ok || value == 0) {
        return;
    }
    result_ = value;
    accept();
}

} // namespace zr::records
