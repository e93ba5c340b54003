#pragma once

#include "ui/FocusWheelComboBox.h"

namespace zr::calibration {

// The wizard's method list ComboBox1. The mouse wheel moves it only while it has the keyboard
// focus, and a move by the wheel is no pick: it is told as `scrolled`, never as `activated`, so
// that turning the wheel on the way past does not switch the meter.
class WizardMethodList : public ui::FocusWheelComboBox {
    Q_OBJECT
public:
    explicit WizardMethodList(QWidget* parent = nullptr);

signals:
    void scrolled(int index);

protected:
    void wheelEvent(QWheelEvent* event) override;
};

} // namespace zr::calibration
