#pragma once

#include "device/connection/ControllerContext.h"
#include "device/protocol/Replies.h"

#include <QString>
#include <functional>

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
    // The grid: the header row and one row per stored value.
    static constexpr int kGridColumns = 4;
    static constexpr int kGridRows = 11;

    // What the user sees while the erasure runs: the text of the first status panel (shown at
    // once) and the busy cursor.
    struct Progress {
        std::function<void(const QString&)> showStatus;
        std::function<void(bool busy)> setBusy;
    };

    StoredValues(connection::ControllerContext context, common::TextGrid& grid,
                 common::OneShotTimer& timerReadLog, MeasurementTable& table,
                 Progress progress = {});

    void registerHandlers(common::HandlerRegistry& handlers);

    // Reply route: one page of stored records.
    void StoredValuesPage(const protocol::StoredValuesPage& page);

    // Store the live value.
    void ToolButton1Click();
    // Erase all, after confirmation.
    void ToolButton2Click();
    // Fetch.
    void ToolButton3Click();
    // Copy all into the measurement table.
    void ToolButton4Click();
    void TimerReadLogTimer();

    // The Метод cell of a record's method code.
    static QString methodText(int methodCode);

private:
    void clearRows();
    void showRecord(const protocol::StoredValueRecord& record);
    int count() const;

    connection::ControllerContext context_;
    common::TextGrid& grid_;
    common::OneShotTimer& timerReadLog_;
    MeasurementTable& table_;
    Progress progress_;
};

} // namespace zr::records
