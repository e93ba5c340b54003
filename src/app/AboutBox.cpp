#include "app/AboutBox.h"

#include "program/BuildInfo.h"
#include "ui/Fonts.h"
#include "ui/Icons.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>

namespace zr::app {

namespace {
// Each text has a box of its own that holds it whole; the boxes do not overlap one another or
// the OK button below them.
QLabel* addLabel(QWidget* parent, const char* name, const QString& text, const QRect& box) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setGeometry(box);
    return label;
}
} // namespace

AboutBox::AboutBox(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("О программе"));
    setFixedSize(284, 178);
    setModal(true);
    setFont(ui::uiFont(11));

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

    addLabel(panel, "ProductName", QStringLiteral("ZR-6040  USB серия 60"), {56, 8, 220, 16});
    addLabel(panel, "Version", QStringLiteral("Version 3a  Build 2015"), {56, 24, 220, 16});
    // The Version label above names the meter series; the program's own version, the one the
    // package and --version carry, is in the maker's details.
    addLabel(panel, "Copyright",
             QStringLiteral("Программа управления октанометром\nZR-6040 для Linux, версия %1")
                 .arg(QLatin1String(program::kProgramVersion)),
             {24, 40, 252, 32});
    QLabel* comments = addLabel(panel, "Comments",
                                QStringLiteral("Октановое и цетановое числа: измерение, значения "
                                               "и калибровки прибора, таблица измерений."),
                                {24, 72, 252, 40});
    comments->setWordWrap(true);
    addLabel(panel, "Contacts", QStringLiteral("Свободная программа"), {104, 112, 172, 16});

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("OKButton"));
    ok->setGeometry(103, 148, 75, 25);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &AboutBox::closeWithOk);
}

void AboutBox::closeWithOk() {
    accept();
}

} // namespace zr::app
