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

    auto* nameLabel =
        new QLabel(QStringLiteral("Наименование для прибора (не более 10 латинских букв)"), this);
    nameLabel->setObjectName(QStringLiteral("Label1"));
    nameLabel->setTextFormat(Qt::PlainText);
    nameLabel->setGeometry(8, 8, 404, 16);
    nameEdit_ = new QLineEdit(this);
    nameEdit_->setObjectName(QStringLiteral("Edit1"));
    nameEdit_->setMaxLength(kNameLength);
    nameEdit_->setGeometry(8, 28, 160, 22);

    auto* commentLabel = new QLabel(QStringLiteral("Комментарий :"), this);
    commentLabel->setObjectName(QStringLiteral("Label2"));
    commentLabel->setTextFormat(Qt::PlainText);
    commentLabel->setGeometry(8, 60, 404, 16);
    commentMemo_ = new QPlainTextEdit(this);
    commentMemo_->setObjectName(QStringLiteral("Memo1"));
    commentMemo_->setGeometry(8, 80, 404, 160);

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
    nameEdit_->setText(shown.name);
    commentMemo_->setPlainText(shown.comment);
    if (exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return LibraryEntryText{nameEdit_->text(), commentMemo_->toPlainText()};
}

} // namespace zr::calibration
