#pragma once

#include "device/connection/ControllerContext.h"
#include "device/protocol/CalibrationSlot.h"

#include <functional>

namespace zr::common {
class HandlerRegistry;
class OneShotTimer;
class TextGrid;
} // namespace zr::common

namespace zr::calibration {

// Texts and limits of the calibration list.
namespace calibration_list {
inline constexpr const char kDeleteAllQuestion[] =
    "Удалить все калибровки на данный метод измерения с прибора ?";
} // namespace calibration_list

// The meter's calibration list StringGrid1 for the current method: refreshing it, putting a
// calibration in force, cancelling it, deleting them all and opening the library. Grid row n
// shows slot n; only replies fill it.
class CalibrationList {
public:
    // The grid: the header row and the four slots of a method, and rows to spare.
    static constexpr int kGridColumns = 4;
    static constexpr int kGridRows = 9;

    // `openLibrary` shows the library window modally and returns when it was closed.
    CalibrationList(connection::ControllerContext context, common::TextGrid& grid,
                    common::OneShotTimer& calibrationListTimer, std::function<void()> openLibrary);

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
    void clearRow(int row);
    void clearSlotRows();

    connection::ControllerContext context_;
    common::TextGrid& grid_;
    common::OneShotTimer& calibrationListTimer_;
    std::function<void()> openLibrary_;
};

} // namespace zr::calibration
