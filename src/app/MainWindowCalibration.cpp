#include "app/MainWindow.h"

#include "app/Dialogs.h"
#include "calibration/CalibrationList.h"
#include "calibration/ManualCorrection.h"
#include "calibration/views/CalibrationLibraryWindow.h"
#include "calibration/views/CalibrationListBlock.h"
#include "calibration/views/ManualCorrectionDialog.h"
#include "ui/StringGrid.h"

namespace zr::app {

void MainWindow::bindCalibration() {
    const connection::ControllerContext context = controllerContext();
    calibrationList_ = std::make_unique<calibration::CalibrationList>(
        context, *calibrationListBlock_->grid(), timerReadTable_, [this] {
            if (dialogs_) {
                dialogs_->form1->exec();
            }
        });
    manualCorrection_ = std::make_unique<calibration::ManualCorrection>(context, [this] {
        if (dialogs_) {
            dialogs_->form6->attach(*manualCorrection_, &guard_);
            dialogs_->form6->exec();
        }
    });
    calibrationListBlock_->setRowInForce([this] { return calibrationList_->rowInForce(); });

    calibrationList_->registerHandlers(handlers_);
    manualCorrection_->registerHandlers(handlers_);
}

} // namespace zr::app
