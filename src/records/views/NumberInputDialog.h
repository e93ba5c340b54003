#pragma once

#include <QDialog>
#include <optional>

class QSpinBox;
class QPushButton;

namespace zr::records {

// asks for a number to add to the number list. 0 cannot be returned.
class NumberInputDialog : public QDialog {
    Q_OBJECT
public:
    explicit NumberInputDialog(QWidget* parent = nullptr);

    // Shows the dialog modally, starting from 0; nothing when it was closed without Ok.
    std::optional<int> ask();

    QSpinBox* numberBox() const { return numberBox_; }
    QPushButton* okButton() const { return okButton_; }

private:
    void acceptNumber();

    QSpinBox* numberBox_;
    QPushButton* okButton_;
    std::optional<int> result_;
};

} // namespace zr::records
