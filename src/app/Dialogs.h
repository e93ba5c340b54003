#pragma once

#include "records/PrintPreviewPort.h"
#include "records/SaveDialogPort.h"
#include "session/SessionPorts.h"

#include <QPointer>
#include <memory>

class QWidget;

namespace zr::calibration {
class CorrectionWizard;
class CalibrationLibraryWindow;
class LibraryEntryDialog;
class ManualCorrectionDialog;
} // namespace zr::calibration
namespace zr::records {
class NumberInputDialog;
class SaveDialog;
class TablePrintPreview;
class TextInputDialog;
} // namespace zr::records
namespace zr::session {
class MeterSession;
}

namespace zr::app {

class AboutBox;

// The program's dialogs and the widget side of a session's ports. Each dialog is built when it
// is first needed, as a child of the main window, which alone owns it; this keeps a guarded
// pointer, so either may go first.
class Dialogs : public records::SaveDialogPort, public records::PrintPreviewPort {
public:
    Dialogs();
    ~Dialogs() override;

    // What the session is given; the dialogs open only once attach() has been called.
    session::SessionPorts sessionPorts(common::MessageService& messages);
    void attach(QWidget& window, session::MeterSession& session);

    calibration::CorrectionWizard& correctionWizard();
    calibration::CalibrationLibraryWindow& libraryWindow();
    calibration::LibraryEntryDialog& libraryEntryDialog();
    records::NumberInputDialog& numberInputDialog();
    records::TextInputDialog& textInputDialog();
    calibration::ManualCorrectionDialog& manualCorrectionDialog();
    AboutBox& aboutBox();
    records::SaveDialog& saveDialog();
    records::TablePrintPreview& printPreview();

    std::optional<records::SaveChoice> execute() override;
    void showPreview(const records::MeasurementRows& rows) override;

private:
    bool attached() const { return window_ && session_; }
    // Fits a newly built dialog to the screen and returns it.
    template <typename T> T& placed(QPointer<T>& dialog, T* built);

    QPointer<QWidget> window_;
    session::MeterSession* session_ = nullptr;
    QPointer<calibration::CorrectionWizard> correctionWizard_;
    QPointer<calibration::CalibrationLibraryWindow> libraryWindow_;
    QPointer<calibration::LibraryEntryDialog> libraryEntryDialog_;
    QPointer<records::NumberInputDialog> numberInputDialog_;
    QPointer<records::TextInputDialog> textInputDialog_;
    QPointer<calibration::ManualCorrectionDialog> manualCorrectionDialog_;
    QPointer<AboutBox> aboutBox_;
    QPointer<records::TablePrintPreview> printPreview_;
    // Holds no widget of its own: its file dialog is the window's child too.
    std::unique_ptr<records::SaveDialog> saveDialog_;
};

} // namespace zr::app
