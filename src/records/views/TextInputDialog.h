#pragma once

#include <QDialog>
#include <QString>
#include <optional>

class QLineEdit;
class QPushButton;

namespace zr::records {

// TForm5: asks for a text to add to a selection list; an empty text is a text too.
class TextInputDialog : public QDialog {
    Q_OBJECT
public:
    explicit TextInputDialog(QWidget* parent = nullptr);

    // Shows the dialog modally with an empty field; nothing when it was closed without Ok.
    std::optional<QString> ask();

    QLineEdit* edit() const { return edit1_; }
    QPushButton* okButton() const { return button1_; }

private:
    void Button1Click();

    QLineEdit* edit1_;
    QPushButton* button1_;
    std::optional<QString> result_;
};

} // namespace zr::records
