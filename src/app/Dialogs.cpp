#include "app/Dialogs.h"

#include "app/AboutBox.h"
#include "calibration/views/CalibrationLibraryWindow.h"
#include "calibration/views/CorrectionWizard.h"
#include "calibration/views/LibraryEntryDialog.h"
#include "calibration/views/ManualCorrectionDialog.h"
#include "records/views/ApplicationBusyCursor.h"
#include "records/views/NumberInputDialog.h"
#include "records/views/SaveDialog.h"
#include "records/views/TablePrintPreview.h"
#include "records/views/TextInputDialog.h"
#include "records/xlsx/TableWorkbook.h"
#include "session/MeterSession.h"
#include "ui/WindowPlacement.h"

namespace zr::app {

Dialogs::Dialogs() = default;

Dialogs::~Dialogs() = default;

session::SessionPorts Dialogs::sessionPorts(common::MessageService& messages) {
    return {messages,
            *this,
            records::applicationBusyCursor(),
            *this,
            [this]() -> std::optional<int> {
                return attached() ? numberInputDialog().ask() : std::nullopt;
            },
            [this]() -> std::optional<QString> {
                return attached() ? textInputDialog().ask() : std::nullopt;
            },
            [this] {
                if (attached()) {
                    libraryWindow().exec();
                }
            },
            [this] {
                if (attached()) {
                    manualCorrectionDialog().exec();
                }
            },
            calibration::Library::Dialogs{[this]() -> std::optional<calibration::WizardResult> {
                                              return attached() ? correctionWizard().run()
                                                                : std::nullopt;
                                          },
                                          [this](const calibration::LibraryEntryText& shown)
                                              -> std::optional<calibration::LibraryEntryText> {
                                              return attached() ? libraryEntryDialog().edit(shown)
                                                                : std::nullopt;
                                          }},
            records::xlsxWorkbookWriter()};
}

void Dialogs::attach(QWidget& window, session::MeterSession& session) {
    window_ = &window;
    session_ = &session;
}

template <typename T> T& Dialogs::placed(QPointer<T>& dialog, T* built) {
    dialog = built;
    ui::keepOnScreen(built);
    return *built;
}

calibration::CorrectionWizard& Dialogs::correctionWizard() {
    return correctionWizard_
               ? *correctionWizard_
               : placed(correctionWizard_,
                        new calibration::CorrectionWizard(session_->controllerContext(),
                                                          session_->meterCalibrations(), window_));
}

calibration::CalibrationLibraryWindow& Dialogs::libraryWindow() {
    return libraryWindow_
               ? *libraryWindow_
               : placed(libraryWindow_, new calibration::CalibrationLibraryWindow(
                                            session_->library(), session_->guard(), window_));
}

calibration::LibraryEntryDialog& Dialogs::libraryEntryDialog() {
    return libraryEntryDialog_
               ? *libraryEntryDialog_
               : placed(libraryEntryDialog_, new calibration::LibraryEntryDialog(window_));
}

records::NumberInputDialog& Dialogs::numberInputDialog() {
    return numberInputDialog_ ? *numberInputDialog_
                              : placed(numberInputDialog_, new records::NumberInputDialog(window_));
}

records::TextInputDialog& Dialogs::textInputDialog() {
    return textInputDialog_ ? *textInputDialog_
                            : placed(textInputDialog_, new records::TextInputDialog(window_));
}

calibration::ManualCorrectionDialog& Dialogs::manualCorrectionDialog() {
    if (!manualCorrectionDialog_) {
        auto* dialog = new calibration::ManualCorrectionDialog(window_);
        dialog->attach(session_->manualCorrection(), &session_->guard());
        placed(manualCorrectionDialog_, dialog);
    }
    return *manualCorrectionDialog_;
}

AboutBox& Dialogs::aboutBox() {
    return aboutBox_ ? *aboutBox_ : placed(aboutBox_, new AboutBox(window_));
}

records::SaveDialog& Dialogs::saveDialog() {
    if (!saveDialog_) {
        saveDialog_ = std::make_unique<records::SaveDialog>(window_);
    }
    return *saveDialog_;
}

records::TablePrintPreview& Dialogs::printPreview() {
    if (!printPreview_) {
        printPreview_ = new records::TablePrintPreview(window_);
    }
    return *printPreview_;
}

std::optional<records::SaveChoice> Dialogs::execute() {
    return attached() ? saveDialog().execute() : std::nullopt;
}

void Dialogs::showPreview(const records::MeasurementRows& rows) {
    if (attached()) {
        printPreview().showPreview(rows);
    }
}

} // namespace zr::app
