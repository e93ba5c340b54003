#include "app/ServicePage.h"

#include "ui/LogView.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace zr::app {

namespace {
template <typename W> W* place(W* widget, const char* name, int x, int y, int w, int h) {
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(x, y, w, h);
    return widget;
}
} // namespace

ServicePage::ServicePage(QWidget* parent) : QWidget(parent) {
    log_ = place(new ui::LogView(this), "Memo1", 8, 32, 649, 177);
    log_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    log_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    readStoredValuesButton_ =
        place(new QPushButton(QStringLiteral("Button1"), this), "Button1", 488, 0, 75, 25);
    addressEdit_ = place(new QLineEdit(QStringLiteral("0"), this), "Edit2", 32, 232, 121, 21);
    readByteButton_ =
        place(new QPushButton(QStringLiteral("Button2"), this), "Button2", 168, 232, 57, 25);
    byteValueEdit_ =
        place(new QLineEdit(QStringLiteral("Edit1"), this), "Edit1", 248, 232, 121, 21);
    writeTestCalibrationButton_ =
        place(new QPushButton(QStringLiteral("Button3"), this), "Button3", 464, 280, 75, 25);
    placeholderLabel_ =
        place(new QLabel(QStringLiteral("Label2"), this), "Label2", 96, 288, 32, 13);
    placeholderLabel_->setTextFormat(Qt::PlainText);
    // Below the specified controls; shown only with a server configured.
    serverStatus_ = place(new QLabel(this), "ServerStatus", 8, 320, 649, 34);
    serverStatus_->setTextFormat(Qt::PlainText);
    serverStatus_->setWordWrap(true);
    serverStatus_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    serverStatus_->hide();

    QWidget::setTabOrder(log_, readStoredValuesButton_);
    QWidget::setTabOrder(readStoredValuesButton_, byteValueEdit_);
    QWidget::setTabOrder(byteValueEdit_, addressEdit_);
    QWidget::setTabOrder(addressEdit_, readByteButton_);
    QWidget::setTabOrder(readByteButton_, writeTestCalibrationButton_);
}

void ServicePage::showServerStatus(const QString& line) {
    serverStatus_->setText(line);
    serverStatus_->show();
}

} // namespace zr::app
