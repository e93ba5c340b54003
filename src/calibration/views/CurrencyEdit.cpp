#include "calibration/views/CurrencyEdit.h"

#include <QRegularExpression>
#include <QRegularExpressionValidator>

namespace zr::calibration {

CurrencyEdit::CurrencyEdit(QWidget* parent) : QLineEdit(parent) {
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // Texts the program sets are not validated; the validator only guards what is typed.
    setValidator(new QRegularExpressionValidator(
        QRegularExpression(
            QStringLiteral("-?[0-9]{0,%1}([.,][0-9]{0,3})?").arg(CurrencyValue::kMaxIntegerDigits)),
        this));
    connect(this, &QLineEdit::textEdited, this, [this](const QString& text) {
        if (const auto parsed = CurrencyValue::parse(text)) {
            value_ = *parsed;
            emit valueEdited(value_);
        }
    });
    connect(this, &QLineEdit::editingFinished, this, [this] { showValue(); });
    showValue();
}

void CurrencyEdit::setValue(CurrencyValue value) {
    if (value == value_) {
        return;
    }
    value_ = value;
    showValue();
}

void CurrencyEdit::showValue() {
    setText(hasFocus() ? value_.editText() : value_.displayText());
}

void CurrencyEdit::focusInEvent(QFocusEvent* event) {
    showValue();
    QLineEdit::focusInEvent(event);
}

void CurrencyEdit::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    showValue();
}

} // namespace zr::calibration
