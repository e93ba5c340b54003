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

// The meter's calibration list StringGrid1 for the current method: refreshing it, putting a
// calibration in force, cancelling it, deleting them all and opening the library.
class CalibrationList {
public:
    CalibrationList(connection::ControllerContext context, common::TextGrid& grid,
                    common::OneShotTimer& timerReadTable, std::function<void()> openLibrary);

    void registerHandlers(common::HandlerRegistry& handlers);

    // Reply route: one calibration entry.
    void CalibrationEntry(const protocol::CalibrationSlot& entry);

    void ToolButton5Click();
    void ToolButton7Click();
    void ToolButton9Click();
    void ToolButton13Click();
    void ToolButton14Click();
    void N24Click();
    void TimerReadTableTimer();

private:
    connection::ControllerContext context_;
    common::TextGrid& grid_;
    common::OneShotTimer& timerReadTable_;
    std::function<void()> openLibrary_;
};

} // namespace zr::calibration
