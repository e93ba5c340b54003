#include "app/Program.h"

#include "app/AboutBox.h"
#include "calibration/CalibrationLibraryWindow.h"
#include "calibration/CorrectionWizard.h"
#include "calibration/LibraryEntryDialog.h"
#include "calibration/ManualCorrectionDialog.h"
#include "records/NumberInputDialog.h"
#include "records/TextInputDialog.h"

namespace zr::app {

Program::Program(MainWindowContext context)
    : mainWindow_(std::make_unique<MainWindow>(std::move(context))),
      dialogs_(std::make_unique<Dialogs>(*mainWindow_)) {}

Program::~Program() {
    dialogs_.reset();
    mainWindow_.reset();
}

} // namespace zr::app
