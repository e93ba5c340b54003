#include "app/Program.h"

#include "app/AboutBox.h"
#include "calibration/views/CalibrationLibraryWindow.h"
#include "calibration/views/CorrectionWizard.h"
#include "calibration/views/LibraryEntryDialog.h"
#include "calibration/views/ManualCorrectionDialog.h"
#include "records/views/NumberInputDialog.h"
#include "records/views/TextInputDialog.h"

namespace zr::app {

Program::Program(MainWindowContext context)
    : mainWindow_(std::make_unique<MainWindow>(std::move(context))),
      dialogs_(std::make_unique<Dialogs>(*mainWindow_)) {}

Program::~Program() {
    dialogs_.reset();
    mainWindow_.reset();
}

} // namespace zr::app
