#include "ui/MessageService.h"

#include <QMessageBox>

namespace zr::ui {

namespace {

// Message texts carry file names and texts from the meter: shown as typed, never as markup.
int ask(QWidget* parent, QMessageBox::Icon icon, const QString& text,
        QMessageBox::StandardButtons buttons, QMessageBox::StandardButton defaultButton) {
    QMessageBox box(icon, QString::fromLatin1(common::kApplicationTitle), text, buttons, parent);
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(defaultButton);
    return box.exec();
}

} // namespace

void QtMessageService::inform(const QString& text) {
    ask(parent_, QMessageBox::Information, text, QMessageBox::Ok, QMessageBox::Ok);
}

void QtMessageService::showError(const QString& text) {
    ask(parent_, QMessageBox::Critical, text, QMessageBox::Ok, QMessageBox::Ok);
}

bool QtMessageService::confirm(const QString& text) {
    return ask(parent_, QMessageBox::Question, text, QMessageBox::Ok | QMessageBox::Cancel,
               QMessageBox::Ok) == QMessageBox::Ok;
}

bool QtMessageService::confirmWarning(const QString& text, const QString& caption) {
    return QMessageBox::warning(parent_, caption, text, QMessageBox::Ok | QMessageBox::Cancel,
                                QMessageBox::Ok) == QMessageBox::Ok;
}

} // namespace zr::ui
