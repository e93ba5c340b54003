#pragma once

class QFileDialog;
class QWidget;

namespace zr::records {

// SaveDialog, the file dialog of the export. Qt keeps a history of its file dialogs in a settings
// file, so the dialog is made only when the user first needs it: a run that saves nothing
// writes no file.
class SaveDialog {
public:
    explicit SaveDialog(QWidget* parent) : parent_(parent) {}

    // Made on the first call.
    QFileDialog* dialog();
    bool exists() const { return dialog_ != nullptr; }

private:
    QWidget* parent_;
    QFileDialog* dialog_ = nullptr;
};

} // namespace zr::records
