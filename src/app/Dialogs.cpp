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
#include "session/MeterSession.h"
#include "ui/WindowPlacement.h"

namespace zr::app {

Dialogs::Dialogs() = default;

Dialogs::~Dialogs() = default;

session::SessionPorts Dialogs::sessionPorts(common::MessageService& messages) {
    return {
        messages,
        *this,
        records::applicationBusyCursor(),
        *this,
        [this]() -> std::optional<int> { return attached() ? form4().ask() : std::nullopt; },
        [this]() -> std::optional<QString> { return attached() ? form5().ask() : std::nullopt; },
        [this] {
            if (attached()) {
                form1().exec();
            }
        },
        [this] {
            if (attached()) {
                form6().exec();
            }
        },
        calibration::Library::Dialogs{[this]() -> std::optional<calibration::WizardResult> {
                                          return attached() ? form3().run() : std::nullopt;
                                      },
                                      [this](const calibration::LibraryEntryText& shown)
                                          -> std::optional<calibration::LibraryEntryText> {
                                          return attached() ? form2().edit(shown) : std::nullopt;
                                      }}};
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

calibration::CorrectionWizard& Dialogs::form3() {
    return form3_ ? *form3_
                  : placed(form3_, new calibration::CorrectionWizard(session_->controllerContext(),
                                                                     window_));
}

calibration::CalibrationLibraryWindow& Dialogs::form1() {
    return form1_ ? *form1_
                  : placed(form1_, new calibration::CalibrationLibraryWindow(
                                       session_->library(), session_->libraryGrid(),
                                       session_->guard(), window_));
}

calibration::LibraryEntryDialog& Dialogs::form2() {
    return form2_ ? *form2_ : placed(form2_, new calibration::LibraryEntryDialog(window_));
}

records::NumberInputDialog& Dialogs::form4() {
    return form4_ ? *form4_ : placed(form4_, new records::NumberInputDialog(window_));
}

records::TextInputDialog& Dialogs::form5() {
    return form5_ ? *form5_ : placed(form5_, new records::TextInputDialog(window_));
}

calibration::ManualCorrectionDialog& Dialogs::form6() {
    if (!form6_) {
        auto* dialog = new calibration::ManualCorrectionDialog(window_);
        dialog->attach(session_->manualCorrection(), &session_->guard());
        placed(form6_, dialog);
    }
    return *form6_;
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

void Dialogs::showPreview(const common::TextGrid& table) {
    if (attached()) {
        printPreview().showPreview(table);
    }
}

} // namespace zr::app
