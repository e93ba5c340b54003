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
        const QStringList filters = saveDialogFilters();
        dialog_->setNameFilters(filters);
        dialog_->selectNameFilter(filters.at(1)); // the text file
        dialog_->setDefaultSuffix(QStringLiteral("xls"));
        ui::keepOnScreen(dialog_);
    }
    return dialog_;
}

} // namespace zr::records
