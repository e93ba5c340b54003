#pragma once

#include <QComboBox>

namespace zr::ui {

// A drop-down list that the mouse wheel changes only while it has the keyboard focus, so that
// scrolling over a closed list on the way elsewhere picks nothing. A click or Tab gives it the
// focus; the wheel never does.
class FocusWheelComboBox : public QComboBox {
public:
    explicit FocusWheelComboBox(QWidget* parent = nullptr);

protected:
    void wheelEvent(QWheelEvent* event) override;
};

} // namespace zr::ui
