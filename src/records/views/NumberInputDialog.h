#pragma once

#include <QDialog>

namespace zr::records {

// TForm4: asks for a number to add to the number list.
class NumberInputDialog : public QDialog {
    Q_OBJECT
public:
    explicit NumberInputDialog(QWidget* parent = nullptr) : QDialog(parent) {
        setObjectName(QStringLiteral("Form4"));
    }
};

} // namespace zr::records
