#pragma once

#include "calibration/OctaneValue.h"

#include <QLineEdit>

namespace zr::calibration {

// A numeric edit for a decimal value held to two decimals: an empty text is 0, 0 shows empty,
// and while the edit has no focus the value shows as "070.0." (digit grouping, at least three
// integer digits, one decimal, a full stop) in the locale's separators. Only digits, one
// separator and a leading minus can be typed.
class OctaneEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit OctaneEdit(QWidget* parent = nullptr);

    OctaneValue value() const { return value_; }
    // Shows a value put in from outside; the same value leaves the text alone.
    void setValue(OctaneValue value);

signals:
    // The user changed the text; `value` is what it holds now.
    void valueEdited(zr::calibration::OctaneValue value);

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void showValue();

    OctaneValue value_;
};

} // namespace zr::calibration
