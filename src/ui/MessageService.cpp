#include "ui/MessageService.h"

#include <QMessageBox>

namespace zr::ui {

namespace {
QString title() {
    return QString::fromLatin1(common::kApplicationTitle);
}
} // namespace

void QtMessageService::inform(const QString& text) {
    QMessageBox::information(parent_, title(), text, QMessageBox::Ok);
}

void QtMessageService::showError(const QString& text) {
    QMessageBox::critical(parent_, title(), text, QMessageBox::Ok);
}

bool QtMessageService::confirm(const QString& text) {
    return QMessageBox::question(parent_, title(), text, QMessageBox::Ok | QMessageBox::Cancel,
                                 QMessageBox::Ok) == QMessageBox::Ok;
}

bool QtMessageService::confirmWarning(const QString& text, const QString& caption) {
    return QMessageBox::warning(parent_, caption, text, QMessageBox::Ok | QMessageBox::Cancel,
                                QMessageBox::Ok) == QMessageBox::Ok;
}

} // namespace zr::ui
