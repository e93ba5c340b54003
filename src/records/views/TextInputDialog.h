#pragma once

#include <QDialog>
#include <QString>
#include <optional>

class QLineEdit;
class QPushButton;

namespace zr::records {

// asks for a text to add to a selection list; an empty text is a text too.
class TextInputDialog : public QDialog {
    Q_OBJECT
public:
    explicit TextInputDialog(QWidget* parent = nullptr);

    // Shows the dialog modally with an empty field; nothing when it was closed without Ok.
    std::optional<QString> ask();

    QLineEdit* edit() const { return textEdit_; }
    QPushButton* okButton() const { return okButton_; }

private:
    void acceptText();

    QLineEdit* textEdit_;
    QPushButton* okButton_;
    std::optional<QString> result_;
};

} // namespace zr::records
