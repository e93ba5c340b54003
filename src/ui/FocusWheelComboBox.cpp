#include "ui/FocusWheelComboBox.h"

#include <QWheelEvent>

namespace zr::ui {

FocusWheelComboBox::FocusWheelComboBox(QWidget* parent) : QComboBox(parent) {
    setFocusPolicy(Qt::StrongFocus);
}

void FocusWheelComboBox::wheelEvent(QWheelEvent* event) {
    if (!hasFocus()) {
        // Left to the parent, which may scroll.
        event->ignore();
        return;
    }
    QComboBox::wheelEvent(event);
}

} // namespace zr::ui
