#pragma once

#include <QDialog>

namespace zr::records {

// TForm5: asks for a text to add to a selection list.
class TextInputDialog : public QDialog {
    Q_OBJECT
public:
    explicit TextInputDialog(QWidget* parent = nullptr) : QDialog(parent) {
        setObjectName(QStringLiteral("Form5"));
    }
};

} // namespace zr::records
