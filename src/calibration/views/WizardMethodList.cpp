#include "calibration/views/WizardMethodList.h"

#include <QSignalBlocker>

namespace zr::calibration {

WizardMethodList::WizardMethodList(QWidget* parent) : ui::FocusWheelComboBox(parent) {}

void WizardMethodList::wheelEvent(QWheelEvent* event) {
    const int before = currentIndex();
    {
        const QSignalBlocker quiet(this);
        ui::FocusWheelComboBox::wheelEvent(event);
    }
    if (currentIndex() != before) {
        emit scrolled(currentIndex());
    }
}

} // namespace zr::calibration
