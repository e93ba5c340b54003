#include "ui/BlankTitle.h"

#include <QWidget>

namespace zr::ui {

void setBlankWindowTitle(QWidget* window) {
    // Zero width space: not empty, so the platform keeps it, and invisible in any font.
    window->setWindowTitle(QString(QChar(0x200B)));
}

} // namespace zr::ui
