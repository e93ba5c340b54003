#include "records/MeasurementTable.h"

#include "common/AppError.h"
#include "common/HandlerRegistry.h"
#include "device/protocol/IntegerText.h"
#include "records/MeasurementTableModel.h"
#include "records/SelectionLists.h"

#include <algorithm>

namespace zr::records {

MeasurementTable::MeasurementTable(MeasurementTableModel& rows, SelectionLists& lists,
                                   LiveReadingSource live, Commands commands, Clock clock)
    : rows_(rows), lists_(lists), live_(std::move(live)), commands_(std::move(commands)),
      clock_(std::move(clock)) {}

void MeasurementTable::registerHandlers(common::HandlerRegistry& handlers) {
    handlers.add("runHeaderCommand", [this](int section) { runHeaderCommand(section); });
}

void MeasurementTable::runHeaderCommand(int section) {
    switch (section) {
    case 0:
        writeLiveValue();
        break;
    case 1:
        deleteCurrentRow();
        break;
    case 2:
        if (commands_.saveTable) {
            commands_.saveTable();
        }
        break;
    case 3:
        if (commands_.print) {
            commands_.print();
        }
        break;
    default:
        break;
    }
}

MeasurementRow MeasurementTable::newRow(std::optional<int> method, std::optional<double> value,
                                        int valueDecimals) const {
    MeasurementRow row;
    row.number = lists_.list(1).selectedText();
    row.grade = lists_.list(2).selectedText();
    row.tank = lists_.list(3).selectedText();
    row.supplier = lists_.list(4).selectedText();
    row.method = method;
    row.value = value;
    row.valueDecimals = valueDecimals;
    // The cell shows whole seconds; the row keeps what it shows.
    row.moment = QDateTime::fromSecsSinceEpoch(clock_().toSecsSinceEpoch(), Qt::UTC);
    return row;
}

void MeasurementTable::appendRow(const MeasurementRow& row) {
    const common::EditGroup edit(rows_);
    // After the entry row itself was deleted the last row holds a written row; it is kept and
    // a fresh entry row is made for the new one.
    if (rows_.rowCount() == 0 || !rows_.row(rows_.rowCount() - 1).isEmpty()) {
        rows_.appendRow({});
    }
    rows_.setRow(rows_.rowCount() - 1, row);
    rows_.appendRow({});
    advanceSampleNumber();
}

common::EditGroup MeasurementTable::groupChanges() {
    return common::EditGroup(rows_);
}

void MeasurementTable::advanceSampleNumber() {
    SelectionList& numbers = lists_.list(1);
    const int index = numbers.selectedIndex();
    const QString text = numbers.item(index);
    const auto number = protocol::parseInt32(text.toStdString());
    if (!number) {
        throw common::AppError(QStringLiteral("'%1' is not a valid integer value").arg(text));
    }
    numbers.setItem(index, QString::number(static_cast<qint64>(*number) + 1));
    // Replacing the item must not leave the list without a selection.
    numbers.select(index);
}

void MeasurementTable::continueNumberingAfterRestore() {
    SelectionList& numbers = lists_.list(1);
    const int index = numbers.selectedIndex();
    const auto next = protocol::parseInt32(numbers.item(index).toStdString());
    if (!next) {
        return;
    }
    qint64 highest = *next - 1;
    for (const MeasurementRow& row : rows_.rows()) {
        if (const auto number = protocol::parseInt32(row.number.toStdString())) {
            highest = std::max<qint64>(highest, *number);
        }
    }
    if (highest >= *next) {
        numbers.setItem(index, QString::number(highest + 1));
        numbers.select(index);
    }
}

void MeasurementTable::writeLiveValue() {
    const LiveReading live = live_ ? live_() : LiveReading{};
    appendRow(newRow(live.method, live.value, live.valueDecimals));
}

void MeasurementTable::deleteCurrentRow() {
    // Without a click the grid's current row is its first row.
    const int r = std::max(0, rows_.currentRow());
    const common::EditGroup edit(rows_);
    if (r == 0 && rows_.rowCount() <= 1) {
        rows_.setRow(0, {});
    } else if (r < rows_.rowCount()) {
        // The rows below move up by one and the last row goes.
        rows_.removeRowAt(r);
    }
    // The row that moved into place is the one the next deletion takes, highlighted as such.
    rows_.setCurrentRow(std::min(r, rows_.rowCount() - 1));
}

} // namespace zr::records
