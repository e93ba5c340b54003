#pragma once

#include "calibration/CalibrationListModel.h"
#include "device/connection/ControllerContext.h"
#include "device/protocol/CalibrationSlot.h"

#include <functional>

namespace zr::common {
class HandlerRegistry;
class OneShotTimer;
} // namespace zr::common

namespace zr::calibration {

class MeterCalibrations;

// Texts and limits of the calibration list.
namespace calibration_list {
inline constexpr const char kDeleteAllQuestion[] =
    "Удалить все калибровки на данный метод измерения с прибора ?";
// The meter left the method while the question above was open.
inline constexpr const char kMethodChangedText[] =
    "Прибор перешёл на другой метод измерения, калибровки не удалены !";
} // namespace calibration_list

// The meter's calibration list for the current method: refreshing it, putting a calibration in
// force, cancelling it, deleting them all and opening the library. Its rows, which the grid
// StringGrid1 shows, hold slot n in row n; only replies fill them.
class CalibrationList {
public:
    // `openLibrary` shows the library window modally and returns when it was closed.
    CalibrationList(connection::ControllerContext context, MeterCalibrations& calibrations,
                    common::OneShotTimer& calibrationListTimer, std::function<void()> openLibrary);

    // The rows, as the grid shows them.
    CalibrationListModel& model() { return model_; }

    void registerHandlers(common::HandlerRegistry& handlers);

    // Reply route: one calibration entry.
    void receiveCalibrationSlot(const protocol::CalibrationSlot& entry);

    // The grid row whose first cell is marked as the calibration in force, 0 for none.
    int rowInForce() const;

    void addCalibrationFromLibrary();
    void deleteAllCalibrations();
    void applySelectedCalibration();
    void refreshCalibrationList();
    void cancelCalibrationInForce();
    void cancelCalibrationInForceUnchecked();
    void requestCalibrationEntries();
    // The same for `method` whatever method is in force (a tool asking for another's list).
    void requestCalibrationEntries(int method);

private:
    int method() const;
    void clearRow(int slot);
    void clearSlotRows();

    connection::ControllerContext context_;
    MeterCalibrations& calibrations_;
    CalibrationListModel model_;
    common::OneShotTimer& calibrationListTimer_;
    std::function<void()> openLibrary_;
};

} // namespace zr::calibration
