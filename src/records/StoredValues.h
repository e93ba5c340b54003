#pragma once

#include "device/connection/ControllerContext.h"
#include "device/protocol/Replies.h"

namespace zr::common {
class HandlerRegistry;
class OneShotTimer;
class TextGrid;
} // namespace zr::common

namespace zr::records {

class MeasurementTable;

// The values stored in the meter: fetching them into StringGrid2, storing the live value,
// erasing them all and copying them into the measurement table.
class StoredValues {
public:
    StoredValues(connection::ControllerContext context, common::TextGrid& grid,
                 common::OneShotTimer& timerReadLog, MeasurementTable& table);

    void registerHandlers(common::HandlerRegistry& handlers);

    // Reply route: one page of stored records.
    void StoredValuesPage(const protocol::StoredValuesPage& page);

    void ToolButton1Click();
    void ToolButton2Click();
    void ToolButton3Click();
    void ToolButton4Click();
    void TimerReadLogTimer();

private:
    connection::ControllerContext context_;
    common::TextGrid& grid_;
    common::OneShotTimer& timerReadLog_;
    MeasurementTable& table_;
};

} // namespace zr::records
