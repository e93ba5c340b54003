#include "app/AboutBox.h"

#include "ui/Icons.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>

namespace zr::app {

namespace {
QLabel* addLabel(QWidget* parent, const char* name, const QString& text, int left, int top) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setTextFormat(Qt::PlainText);
    label->move(left, top);
    label->adjustSize();
    return label;
}
} // namespace

AboutBox::AboutBox(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("О программе"));
    setFixedSize(284, 178);
    setModal(true);

    auto* panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    // A sunken box draws a lowered outer and a raised inner bevel.
    panel->setFrameShape(QFrame::Box);
    panel->setFrameShadow(QFrame::Sunken);
    panel->setLineWidth(1);
    panel->setGeometry(0, 0, 284, 178);

    auto* icon = new QLabel(panel);
    icon->setObjectName(QStringLiteral("ProgramIcon"));
    icon->setGeometry(0, 0, 33, 25);
    icon->setScaledContents(true);
    icon->setPixmap(ui::programPixmap(64));

    addLabel(panel, "ProductName", QStringLiteral("ZR-6040  USB серия 60"), 56, 8);
    addLabel(panel, "Version", QStringLiteral("Version 3a  Build 2015"), 56, 24);
    addLabel(panel, "Copyright",
             QStringLiteral("Программа управления октанометром\nZR-6040 для Linux"), 24, 40);
    QLabel* comments = addLabel(
        panel, "Comments",
        QStringLiteral("Измерение октанового и цетанового чисел, хранение значений и калибровок "
                       "прибора, таблица измерений с сохранением и печатью."),
        24, 72);
    comments->setWordWrap(true);
    comments->setFixedWidth(236);
    comments->adjustSize();
    addLabel(panel, "Contacts", QStringLiteral("Свободная программа"), 104, 112);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("OKButton"));
    ok->setGeometry(103, 148, 75, 25);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &AboutBox::OKButtonClick);
}

void AboutBox::OKButtonClick() {
    accept();
}

} // namespace zr::app
