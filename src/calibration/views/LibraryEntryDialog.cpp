#include "calibration/views/LibraryEntryDialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace zr::calibration {

namespace {
constexpr int kNameLength = 10;
}

LibraryEntryDialog::LibraryEntryDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Редактирование"));
    setFixedSize(420, 290);

    auto* label1 =
        new QLabel(QStringLiteral("Наименование для прибора (не более 10 латинских букв)"), this);
    label1->setObjectName(QStringLiteral("Label1"));
    label1->setTextFormat(Qt::PlainText);
    label1->setGeometry(8, 8, 404, 16);
    edit1_ = new QLineEdit(this);
    edit1_->setObjectName(QStringLiteral("Edit1"));
    edit1_->setMaxLength(kNameLength);
    edit1_->setGeometry(8, 28, 160, 22);

    auto* label2 = new QLabel(QStringLiteral("Комментарий :"), this);
    label2->setObjectName(QStringLiteral("Label2"));
    label2->setTextFormat(Qt::PlainText);
    label2->setGeometry(8, 60, 404, 16);
    memo1_ = new QPlainTextEdit(this);
    memo1_->setObjectName(QStringLiteral("Memo1"));
    memo1_->setGeometry(8, 80, 404, 160);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("Button1"));
    ok->setGeometry(236, 252, 84, 28);
    ok->setAutoDefault(false);
    auto* cancel = new QPushButton(QStringLiteral("Отмена"), this);
    cancel->setObjectName(QStringLiteral("Button2"));
    cancel->setGeometry(328, 252, 84, 28);
    cancel->setAutoDefault(false);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

std::optional<LibraryEntryText> LibraryEntryDialog::edit(const LibraryEntryText& shown) {
    edit1_->setText(shown.name);
    memo1_->setPlainText(shown.comment);
    if (exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return LibraryEntryText{edit1_->text(), memo1_->toPlainText()};
}

} // namespace zr::calibration
