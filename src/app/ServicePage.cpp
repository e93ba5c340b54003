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
    memo1_ = place(new ui::LogView(this), "Memo1", 8, 32, 649, 177);
    memo1_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memo1_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    button1_ = place(new QPushButton(QStringLiteral("Button1"), this), "Button1", 488, 0, 75, 25);
    edit2_ = place(new QLineEdit(QStringLiteral("0"), this), "Edit2", 32, 232, 121, 21);
    button2_ = place(new QPushButton(QStringLiteral("Button2"), this), "Button2", 168, 232, 57, 25);
    edit1_ = place(new QLineEdit(QStringLiteral("Edit1"), this), "Edit1", 248, 232, 121, 21);
    button3_ = place(new QPushButton(QStringLiteral("Button3"), this), "Button3", 464, 280, 75, 25);
    label2_ = place(new QLabel(QStringLiteral("Label2"), this), "Label2", 96, 288, 32, 13);
    label2_->setTextFormat(Qt::PlainText);

    QWidget::setTabOrder(memo1_, button1_);
    QWidget::setTabOrder(button1_, edit1_);
    QWidget::setTabOrder(edit1_, edit2_);
    QWidget::setTabOrder(edit2_, button2_);
    QWidget::setTabOrder(button2_, button3_);
}

} // namespace zr::app
