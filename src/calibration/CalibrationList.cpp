#include "calibration/CalibrationList.h"

#include "common/HandlerRegistry.h"
#include "common/OneShotTimer.h"
#include "common/TextGrid.h"

namespace zr::calibration {

CalibrationList::CalibrationList(connection::ControllerContext context, common::TextGrid& grid,
                                 common::OneShotTimer& timerReadTable,
                                 std::function<void()> openLibrary)
    : context_(context), grid_(grid), timerReadTable_(timerReadTable),
      openLibrary_(std::move(openLibrary)) {}

void CalibrationList::registerHandlers(common::HandlerRegistry& handlers) {
    handlers.add("ToolButton5Click", [this](int) { ToolButton5Click(); });
    handlers.add("ToolButton7Click", [this](int) { ToolButton7Click(); });
    handlers.add("ToolButton9Click", [this](int) { ToolButton9Click(); });
    handlers.add("ToolButton13Click", [this](int) { ToolButton13Click(); });
    handlers.add("ToolButton14Click", [this](int) { ToolButton14Click(); });
    handlers.add("N24Click", [this](int) { N24Click(); });
}

// Filled with the calibration list.
void CalibrationList::CalibrationEntry(const protocol::CalibrationSlot&) {}
void CalibrationList::ToolButton5Click() {}
void CalibrationList::ToolButton7Click() {}
void CalibrationList::ToolButton9Click() {}
void CalibrationList::ToolButton13Click() {}
void CalibrationList::ToolButton14Click() {}
void CalibrationList::N24Click() {}

void CalibrationList::TimerReadTableTimer() {}

} // namespace zr::calibration
