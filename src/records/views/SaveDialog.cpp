#include "records/views/SaveDialog.h"

#include "records/SaveDialogFilter.h"
#include "ui/WindowPlacement.h"

#include <QFileDialog>

namespace zr::records {

QFileDialog* SaveDialog::dialog() {
    if (!dialog_) {
        dialog_ = new QFileDialog(parent_);
        dialog_->setObjectName(QStringLiteral("SaveDialog"));
        dialog_->setAcceptMode(QFileDialog::AcceptSave);
        // An existing file is replaced without asking, as every save of the table does.
        dialog_->setOption(QFileDialog::DontConfirmOverwrite);
        dialog_->setNameFilters(saveDialogFilters());
        // A name typed without a suffix gets the one of the type chosen when it is confirmed.
        QObject::connect(dialog_, &QFileDialog::filterSelected, dialog_,
                         [dialog = dialog_](const QString& filter) {
                             const int type = saveDialogFilters().indexOf(filter) + 1;
                             dialog->setDefaultSuffix(saveDialogDefaultSuffix(type));
                         });
        offer(lastType_);
        ui::keepOnScreen(dialog_);
    }
    return dialog_;
}

void SaveDialog::offer(int type) {
    dialog_->selectNameFilter(saveDialogFilters().at(type - 1));
    dialog_->setDefaultSuffix(saveDialogDefaultSuffix(type));
    if (!lastName_.isEmpty()) {
        dialog_->selectFile(lastName_);
    }
}

std::optional<SaveChoice> SaveDialog::choiceOf(const QFileDialog& confirmed) const {
    const QStringList files = confirmed.selectedFiles();
    if (files.isEmpty() || files.first().isEmpty()) {
        return std::nullopt;
    }
    const int type = saveDialogFilters().indexOf(confirmed.selectedNameFilter()) + 1;
    return SaveChoice{type >= 1 ? static_cast<SaveFileType>(type) : SaveFileType::Text,
                      files.first()};
}

std::optional<SaveChoice> SaveDialog::execute() {
    QFileDialog* fileDialog = dialog();
    offer(lastType_);
    if (fileDialog->exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    std::optional<SaveChoice> choice = choiceOf(*fileDialog);
    if (choice) {
        lastType_ = static_cast<int>(choice->type);
        lastName_ = choice->fileName;
    }
    return choice;
}

} // namespace zr::records
