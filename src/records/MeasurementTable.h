#pragma once

#include "records/MeasurementRow.h"

#include <QDateTime>
#include <functional>

namespace zr::common {
class HandlerRegistry;
class TextGrid;
} // namespace zr::common

namespace zr::records {

class SelectionLists;

// The measurement table StringGrid3: writing rows into its entry row (its last row, kept
// empty), advancing the sample number, deleting rows, and the header strip's commands.
class MeasurementTable {
public:
    // The grid at start: the header row and the empty entry row.
    static constexpr int kGridColumns = 7;
    static constexpr int kGridRows = 2;

    // The header strip's sections 2 and 3 save and print the table.
    struct Commands {
        std::function<void()> saveTable;
        std::function<void()> print;
    };
    // The method name and the value as the live display shows them.
    struct LiveCaptions {
        QString method;
        QString value;
    };
    using LiveCaptionsSource = std::function<LiveCaptions()>;
    using Clock = std::function<QDateTime()>;

    MeasurementTable(common::TextGrid& grid, SelectionLists& lists, LiveCaptionsSource captions,
                     Commands commands, Clock clock = &QDateTime::currentDateTime);

    void registerHandlers(common::HandlerRegistry& handlers);

    void runHeaderCommand(int section);

    // A row of the current selections, the given method and value, and the time now.
    MeasurementRow newRow(const QString& method, const QString& value) const;
    // Writes the row into the entry row, appends a new entry row and advances the number.
    // Throws common::AppError when the number cannot advance; the row is written by then.
    void appendRow(const MeasurementRow& row, bool emptyFirst);
    void advanceSampleNumber();
    // After the table came back from the journal of a run that was cut short (whose list files
    // were never written): the number goes on after the highest number in the table, unless it
    // is higher already or not a number.
    void continueNumberingAfterRestore();

    // "Записать значение".
    void writeLiveValue();
    // "Удалить значение": the current row.
    void deleteCurrentRow();

private:
    bool rowIsEmpty(int row) const;

    common::TextGrid& grid_;
    SelectionLists& lists_;
    LiveCaptionsSource captions_;
    Commands commands_;
    Clock clock_;
};

} // namespace zr::records
