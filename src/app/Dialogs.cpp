#include "app/Dialogs.h"

#include "app/AboutBox.h"
#include "app/MainWindow.h"
#include "calibration/views/CalibrationLibraryWindow.h"
#include "calibration/views/CorrectionWizard.h"
#include "calibration/views/LibraryEntryDialog.h"
#include "calibration/views/ManualCorrectionDialog.h"
#include "common/FileAccess.h"
#include "records/views/NumberInputDialog.h"
#include "records/views/TextInputDialog.h"
#include "ui/WindowPlacement.h"

#include <QDialog>
#include <QDir>

namespace zr::app {

Dialogs::Dialogs(MainWindow& mainWindow)
    : form3(std::make_unique<calibration::CorrectionWizard>(mainWindow.controllerContext(),
                                                            &mainWindow)),
      form1(std::make_unique<calibration::CalibrationLibraryWindow>(
          mainWindow.controllerContext(),
          calibration::Library::Dialogs{
              [this] { return form3->run(); },
              [this](const calibration::LibraryEntryText& shown) { return form2->edit(shown); }},
          common::systemFiles(),
          QDir(mainWindow.dataDir()).filePath(QString::fromLatin1(calibration::kLibraryFileName)),
          &mainWindow)),
      form2(std::make_unique<calibration::LibraryEntryDialog>(&mainWindow)),
      form4(std::make_unique<records::NumberInputDialog>(&mainWindow)),
      form5(std::make_unique<records::TextInputDialog>(&mainWindow)),
      form6(std::make_unique<calibration::ManualCorrectionDialog>(&mainWindow)),
      aboutBox(std::make_unique<AboutBox>(&mainWindow)), mainWindow_(mainWindow) {
    mainWindow.setDialogs(this);
    for (QDialog* dialog : mainWindow.findChildren<QDialog*>(Qt::FindDirectChildrenOnly)) {
        ui::keepOnScreen(dialog);
    }
}

Dialogs::~Dialogs() {
    mainWindow_.setDialogs(nullptr);
}

} // namespace zr::app
