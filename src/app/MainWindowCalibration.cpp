#include "app/MainWindow.h"

#include "calibration/CalibrationList.h"
#include "calibration/ManualCorrection.h"
#include "calibration/views/CalibrationListBlock.h"
#include "ui/StringGrid.h"

namespace zr::app {

void MainWindow::bindCalibration() {
    const connection::ControllerContext context = controllerContext();
    calibrationList_ = std::make_unique<calibration::CalibrationList>(
        context, *calibrationListBlock_->grid(), timerReadTable_, [] {});
    manualCorrection_ = std::make_unique<calibration::ManualCorrection>(context, [] {});

    calibrationList_->registerHandlers(handlers_);
    manualCorrection_->registerHandlers(handlers_);
}

} // namespace zr::app
