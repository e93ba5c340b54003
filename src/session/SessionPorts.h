#pragma once

#include "calibration/Library.h"
#include "records/WorkbookWriter.h"

#include <QString>
#include <functional>
#include <optional>

namespace zr::common {
class MessageService;
}
namespace zr::records {
class BusyCursor;
class PrintPreviewPort;
class SaveDialogPort;
} // namespace zr::records

namespace zr::session {

// What of a session needs a person or a screen: the program gives widgets, a test fakes. A
// dialog function that is not set does nothing (a question then counts as cancelled).
struct SessionPorts {
    common::MessageService& messages;
    records::SaveDialogPort& saveDialog;
    records::BusyCursor& busyCursor;
    // The print preview of the measurement table.
    records::PrintPreviewPort& printPreview;
    // The small input dialogs that add an item to a selection list.
    std::function<std::optional<int>()> askNumber;
    std::function<std::optional<QString>()> askText;
    // The calibration library window and the manual correction dialog, shown modally.
    std::function<void()> openCalibrationLibrary;
    std::function<void()> openManualCorrection;
    // The wizard and the entry editor the library opens.
    calibration::Library::Dialogs libraryDialogs;
    // Makes the exported workbook. Given by the program, so that a session without it (the
    // command line) does not load the workbook library; without it no workbook is made.
    records::WorkbookWriter writeWorkbook;
};

} // namespace zr::session
