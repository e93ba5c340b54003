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

    textEdit_ = new QLineEdit(this);
    textEdit_->setObjectName(QStringLiteral("Edit1"));
    textEdit_->setGeometry(40, 38, 241, 22);

    okButton_ = new QPushButton(QStringLiteral("Ok"), this);
    okButton_->setObjectName(QStringLiteral("Button1"));
    okButton_->setGeometry(123, 70, 75, 25);
    okButton_->setDefault(true);
    connect(okButton_, &QPushButton::clicked, this, &TextInputDialog::acceptText);
}

std::optional<QString> TextInputDialog::ask() {
    result_.reset();
    textEdit_->clear();
    textEdit_->setFocus();
    exec();
    return result_;
}

void TextInputDialog::acceptText() {
    result_ = textEdit_->text();
    accept();
}

} // namespace zr::records
