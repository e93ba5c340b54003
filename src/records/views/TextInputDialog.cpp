#include "records/views/TextInputDialog.h"

#include "records/views/InputDialogLabel.h"
#include "ui/BlankTitle.h"

#include <QLineEdit>
#include <QPushButton>

namespace zr::records {

TextInputDialog::TextInputDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Form5"));
    ui::setBlankWindowTitle(this);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(322, 105);

    makeInputDialogLabel(this, 322);

    edit1_ = new QLineEdit(this);
    edit1_->setObjectName(QStringLiteral("Edit1"));
    edit1_->setGeometry(40, 38, 241, 22);

    button1_ = new QPushButton(QStringLiteral("Ok"), this);
    button1_->setObjectName(QStringLiteral("Button1"));
    button1_->setGeometry(123, 70, 75, 25);
    button1_->setDefault(true);
    connect(button1_, &QPushButton::clicked, this, &TextInputDialog::Button1Click);
}

std::optional<QString> TextInputDialog::ask() {
    result_.reset();
    edit1_->clear();
    edit1_->setFocus();
    exec();
    return result_;
}

void TextInputDialog::Button1Click() {
    result_ = edit1_->text();
    accept();
}

} // namespace zr::records
