#pragma once

#include "common/GridModel.h"
#include "records/MeasurementRow.h"

#include <QDateTime>
#include <functional>

namespace zr::common {
class HandlerRegistry;
}

namespace zr::records {

class MeasurementTableModel;
class SelectionLists;

// The measurement table StringGrid3: writing rows into its entry row (its last row, kept
// empty), advancing the sample number, deleting rows, and the header strip's commands.
class MeasurementTable {
public:
    // The header strip's sections 2 and 3 save and print the table.
    struct Commands {
        std::function<void()> saveTable;
        std::function<void()> print;
    };
    // The method and the value as the live display shows them.
    struct LiveReading {
        std::optional<int> method;
        double value = 0;
        int valueDecimals = common::kGeneralFormat;
    };
    using LiveReadingSource = std::function<LiveReading()>;
    using Clock = std::function<QDateTime()>;

    MeasurementTable(MeasurementTableModel& rows, SelectionLists& lists, LiveReadingSource live,
                     Commands commands, Clock clock = &QDateTime::currentDateTimeUtc);

    void registerHandlers(common::HandlerRegistry& handlers);

    void runHeaderCommand(int section);

    // A row of the current selections, the given method and value, and the time now.
    MeasurementRow newRow(std::optional<int> method, std::optional<double> value,
                          int valueDecimals) const;
    // Writes the row into the entry row, appends a new entry row and advances the number.
    // Throws common::AppError when the number cannot advance; the row is written by then.
    void appendRow(const MeasurementRow& row);
    void advanceSampleNumber();
    // The changes of the table made while it lives are one to whoever records the table.
    common::EditGroup groupChanges();
    // After the table came back from the journal of a run that was cut short (whose list files
    // were never written): the number goes on after the highest number in the table, unless it
    // is higher already or not a number.
    void continueNumberingAfterRestore();

    // "Записать значение".
    void writeLiveValue();
    // "Удалить значение": the current row; the same row position stays current.
    void deleteCurrentRow();

private:
    MeasurementTableModel& rows_;
    SelectionLists& lists_;
    LiveReadingSource live_;
    Commands commands_;
    Clock clock_;
};

} // namespace zr::records
