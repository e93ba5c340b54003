#pragma once

#include "records/SaveDialogPort.h"

class QFileDialog;
class QWidget;

namespace zr::records {

// SaveDialog, the file dialog of the export. Qt keeps a history of its file dialogs in a settings
// file, so the dialog is made only when the user first needs it: a run that saves nothing
// writes no file. The type and name chosen last are offered again (in memory only).
class SaveDialog : public SaveDialogPort {
public:
    explicit SaveDialog(QWidget* parent) : parent_(parent) {}

    // Made on the first call.
    QFileDialog* dialog();
    bool exists() const { return dialog_ != nullptr; }

    // Shows the dialog modally.
    std::optional<SaveChoice> execute() override;

private:
    void offer(int type);
    // The choice a confirmed dialog stands for; nothing without a file name.
    std::optional<SaveChoice> choiceOf(const QFileDialog& dialog) const;

    QWidget* parent_;
    QFileDialog* dialog_ = nullptr;
    int lastType_ = static_cast<int>(SaveFileType::Text);
    QString lastName_;
};

} // namespace zr::records
