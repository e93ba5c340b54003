#pragma once

#include <memory>

namespace zr::calibration {
class CorrectionWizard;
class CalibrationLibraryWindow;
class LibraryEntryDialog;
class ManualCorrectionDialog;
} // namespace zr::calibration
namespace zr::records {
class NumberInputDialog;
class TextInputDialog;
} // namespace zr::records

namespace zr::app {

class AboutBox;
class MainWindow;

// The program's dialogs, created hidden at start-up in this order and kept until the end.
struct Dialogs {
    explicit Dialogs(MainWindow& mainWindow);
    ~Dialogs();

    std::unique_ptr<calibration::CorrectionWizard> form3;
    std::unique_ptr<calibration::CalibrationLibraryWindow> form1;
    std::unique_ptr<calibration::LibraryEntryDialog> form2;
    std::unique_ptr<records::NumberInputDialog> form4;
    std::unique_ptr<records::TextInputDialog> form5;
    std::unique_ptr<calibration::ManualCorrectionDialog> form6;
    std::unique_ptr<AboutBox> aboutBox;

private:
    MainWindow& mainWindow_;
};

} // namespace zr::app
