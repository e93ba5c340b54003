#include "records/MeasurementTable.h"

#include "common/AppError.h"
#include "common/HandlerRegistry.h"
#include "common/TextGrid.h"
#include "device/protocol/IntegerText.h"
#include "records/SelectionLists.h"

#include <algorithm>

namespace zr::records {

namespace {
constexpr int kHeaderAndEntryRow = 2;
}

MeasurementTable::MeasurementTable(common::TextGrid& grid, SelectionLists& lists,
                                   LiveCaptionsSource captions, Commands commands, Clock clock)
    : grid_(grid), lists_(lists), captions_(std::move(captions)), commands_(std::move(commands)),
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

MeasurementRow MeasurementTable::newRow(const QString& method, const QString& value) const {
    MeasurementRow row;
    row.Number = lists_.list(1).selectedText();
    row.Grade = lists_.list(2).selectedText();
    row.Tank = lists_.list(3).selectedText();
    row.Supplier = lists_.list(4).selectedText();
    row.Method = method;
    row.Value = value;
    row.Timestamp = measurementTimestamp(clock_());
    return row;
}

bool MeasurementTable::rowIsEmpty(int row) const {
    for (int c = 0; c < MeasurementRow::kColumns; ++c) {
        if (!grid_.cell(c, row).isEmpty()) {
            return false;
        }
    }
    return true;
}

void MeasurementTable::appendRow(const MeasurementRow& row, bool emptyFirst) {
    const common::GridEdit edit(grid_);
    int last = grid_.rowCountWithHeader() - 1;
    // After the entry row itself was deleted the last row holds a written row; it is kept and
    // a fresh entry row is made for the new one.
    if (last < 1 || !rowIsEmpty(last)) {
        grid_.setRowCountWithHeader(grid_.rowCountWithHeader() + 1);
        last = grid_.rowCountWithHeader() - 1;
    } else if (emptyFirst) {
        for (int c = 0; c < MeasurementRow::kColumns; ++c) {
            grid_.setCell(c, last, QString());
        }
    }
    // A written cell is never empty.
    const auto texts = row.texts();
    for (int c = 0; c < MeasurementRow::kColumns; ++c) {
        const QString& text = texts[static_cast<std::size_t>(c)];
        grid_.setCell(c, last, text.isEmpty() ? QStringLiteral(" ") : text);
    }
    grid_.setRowCountWithHeader(last + 2);
    advanceSampleNumber();
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
    for (int r = 1; r < grid_.rowCountWithHeader(); ++r) {
        if (const auto number = protocol::parseInt32(grid_.cell(0, r).toStdString())) {
            highest = std::max<qint64>(highest, *number);
        }
    }
    if (highest >= *next) {
        numbers.setItem(index, QString::number(highest + 1));
        numbers.select(index);
    }
}

void MeasurementTable::writeLiveValue() {
    const LiveCaptions live = captions_ ? captions_() : LiveCaptions{};
    appendRow(newRow(live.method, live.value), true);
}

void MeasurementTable::deleteCurrentRow() {
    // Without a click the grid's current row is its first body row.
    const int r = std::max(1, grid_.currentGridRow());
    const common::GridEdit edit(grid_);
    const int rows = grid_.rowCountWithHeader();
    if (r == 1 && rows <= kHeaderAndEntryRow) {
        for (int c = 0; c < MeasurementRow::kColumns; ++c) {
            grid_.setCell(c, 1, QString());
        }
    } else if (r < rows) {
        // The rows below move up by one and the last row goes.
        grid_.removeRow(r);
    }
}

} // namespace zr::records
