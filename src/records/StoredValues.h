#pragma once

#include "device/connection/ControllerContext.h"
#include "device/protocol/Replies.h"

#include <QList>
#include <QString>
#include <functional>

namespace zr::common {
class HandlerRegistry;
class OneShotTimer;
} // namespace zr::common

namespace zr::records {

class MeasurementTable;
class StoredValuesModel;

// The values stored in the meter: fetching them into StringGrid2, storing the live value,
// erasing them all and copying them into the measurement table.
class StoredValues {
public:
    // What the user sees while the erasure runs: the text of the first status panel (shown at
    // once) and the busy cursor.
    struct Progress {
        std::function<void(const QString&)> showStatus;
        std::function<void(bool busy)> setBusy;
    };

    StoredValues(connection::ControllerContext context, StoredValuesModel& rows,
                 common::OneShotTimer& storedValuesTimer, MeasurementTable& table,
                 Progress progress = {});

    void registerHandlers(common::HandlerRegistry& handlers);

    // Reply route: one page of stored records.
    void receiveStoredValuesPage(const protocol::StoredValuesPage& page);

    // Store the live value.
    void storeLiveValue();
    // Erase all, after confirmation.
    void eraseStoredValues();
    // Fetch.
    void fetchStoredValues();
    // Copy all into the measurement table.
    void copyStoredValuesToTable();
    void fetchStoredValuesOnTimer();

    // The records shown, in slot order.
    QList<protocol::StoredValueRecord> records() const;

private:
    void clearRows();
    void showRecord(const protocol::StoredValueRecord& record);
    int count() const;

    connection::ControllerContext context_;
    StoredValuesModel& rows_;
    common::OneShotTimer& storedValuesTimer_;
    MeasurementTable& table_;
    Progress progress_;
};

} // namespace zr::records
