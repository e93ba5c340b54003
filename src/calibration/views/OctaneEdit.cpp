#include "calibration/views/OctaneEdit.h"

#include <QRegularExpression>
#include <QRegularExpressionValidator>

namespace zr::calibration {

OctaneEdit::OctaneEdit(QWidget* parent) : QLineEdit(parent) {
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // Texts the program sets are not validated; the validator only guards what is typed.
    setValidator(new QRegularExpressionValidator(
        QRegularExpression(
            QStringLiteral("-?[0-9]{0,%1}([.,][0-9]{0,3})?").arg(OctaneValue::kMaxIntegerDigits)),
        this));
    connect(this, &QLineEdit::textEdited, this, [this](const QString& text) {
        if (const auto parsed = OctaneValue::parse(text)) {
            value_ = *parsed;
            emit valueEdited(value_);
        }
    });
    connect(this, &QLineEdit::editingFinished, this, [this] { showValue(); });
    showValue();
}

void OctaneEdit::setValue(OctaneValue value) {
    if (value == value_) {
        return;
    }
    value_ = value;
    showValue();
}

void OctaneEdit::showValue() {
    setText(hasFocus() ? value_.editText() : value_.displayText());
}

void OctaneEdit::focusInEvent(QFocusEvent* event) {
    showValue();
    QLineEdit::focusInEvent(event);
}

void OctaneEdit::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    showValue();
}

} // namespace zr::calibration
