#include "records/StoredValues.h"

#include "common/HandlerRegistry.h"
#include "common/OneShotTimer.h"
#include "common/TextGrid.h"
#include "records/MeasurementTable.h"

namespace zr::records {

StoredValues::StoredValues(connection::ControllerContext context, common::TextGrid& grid,
                           common::OneShotTimer& timerReadLog, MeasurementTable& table)
    : context_(context), grid_(grid), timerReadLog_(timerReadLog), table_(table) {}

void StoredValues::registerHandlers(common::HandlerRegistry& handlers) {
    handlers.add("ToolButton1Click", [this](int) { ToolButton1Click(); });
    handlers.add("ToolButton2Click", [this](int) { ToolButton2Click(); });
    handlers.add("ToolButton3Click", [this](int) { ToolButton3Click(); });
    handlers.add("ToolButton4Click", [this](int) { ToolButton4Click(); });
}

// Filled with the stored values' pages, storing, erasing and copying.
void StoredValues::StoredValuesPage(const protocol::StoredValuesPage&) {}
void StoredValues::ToolButton1Click() {}
void StoredValues::ToolButton2Click() {}
void StoredValues::ToolButton3Click() {}
void StoredValues::ToolButton4Click() {}

// The timer disables itself once this returns.
void StoredValues::TimerReadLogTimer() {
    ToolButton3Click();
}

} // namespace zr::records
