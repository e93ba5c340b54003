#include "records/views/InputDialogLabel.h"

#include <QLabel>

namespace zr::records {

QLabel* makeInputDialogLabel(QWidget* dialog, int width) {
    auto* label = new QLabel(QStringLiteral("Введите значение для добавления :"), dialog);
    label->setObjectName(QStringLiteral("Label1"));
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignCenter);
    QFont font = label->font();
    font.setPixelSize(16);
    label->setFont(font);
    label->setGeometry(0, 8, width, 24);
    return label;
}

} // namespace zr::records
