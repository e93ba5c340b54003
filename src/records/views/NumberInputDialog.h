#pragma once

#include <QDialog>
#include <optional>

class QSpinBox;
class QPushButton;

namespace zr::records {

// TForm4: asks for a number to add to the number list. 0 cannot be returned.
class NumberInputDialog : public QDialog {
    Q_OBJECT
public:
    explicit NumberInputDialog(QWidget* parent = nullptr);

    // Shows the dialog modally, starting from 0; nothing when it was closed without Ok.
    std::optional<int> ask();

    QSpinBox* spinEdit() const { return spinEdit1_; }
    QPushButton* okButton() const { return button1_; }

private:
    void Button1Click();

    QSpinBox* spinEdit1_;
    QPushButton* button1_;
    std::optional<int> result_;
};

} // namespace zr::records
