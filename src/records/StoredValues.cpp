#include "records/StoredValues.h"

#include "common/HandlerRegistry.h"
#include "common/NumberFormat.h"
#include "common/OneShotTimer.h"
#include "device/protocol/ByteOrder.h"
#include "device/protocol/MemoryMap.h"
#include "records/MeasurementTable.h"
#include "records/StoredValuesModel.h"

namespace zr::records {

namespace memory = protocol::memory;

namespace {

// Restores the cursor and the status panel however the erasure ends.
class BusyScope {
public:
    explicit BusyScope(const StoredValues::Progress& progress) : progress_(progress) {
        if (progress_.showStatus) {
            progress_.showStatus(QStringLiteral("Идет удаление..."));
        }
        if (progress_.setBusy) {
            progress_.setBusy(true);
        }
    }
    ~BusyScope() {
        if (progress_.setBusy) {
            progress_.setBusy(false);
        }
        if (progress_.showStatus) {
            progress_.showStatus(QString());
        }
    }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    const StoredValues::Progress& progress_;
};

} // namespace

StoredValues::StoredValues(connection::ControllerContext context, StoredValuesModel& rows,
                           common::OneShotTimer& storedValuesTimer, MeasurementTable& table,
                           Progress progress)
    : context_(context), rows_(rows), storedValuesTimer_(storedValuesTimer), table_(table),
      progress_(std::move(progress)) {}

void StoredValues::registerHandlers(common::HandlerRegistry& handlers) {
    handlers.add("storeLiveValue", [this](int) { storeLiveValue(); });
    handlers.add("eraseStoredValues", [this](int) { eraseStoredValues(); });
    handlers.add("fetchStoredValues", [this](int) { fetchStoredValues(); });
    handlers.add("copyStoredValuesToTable", [this](int) { copyStoredValuesToTable(); });
}

int StoredValues::count() const {
    return context_.state.status.dataCount;
}

QList<protocol::StoredValueRecord> StoredValues::records() const {
    QList<protocol::StoredValueRecord> shown;
    for (const StoredValueRow& row : rows_.rows()) {
        if (row) {
            shown << *row;
        }
    }
    return shown;
}

void StoredValues::clearRows() {
    for (int r = 0; r < rows_.rowCount(); ++r) {
        rows_.setRow(r, std::nullopt);
    }
}

void StoredValues::showRecord(const protocol::StoredValueRecord& record) {
    const int slot = record.recordNumber;
    if (slot < 1 || slot > memory::kMaxStoredValues) {
        return;
    }
    rows_.setRow(slot - 1, record);
}

void StoredValues::receiveStoredValuesPage(const protocol::StoredValuesPage& page) {
    const int c = count();
    if (!memory::countHoldsValues(c)) {
        return;
    }
    const int taken = memory::storedRecordsOnPage(c, page.records[0].recordNumber);
    for (int k = 0; k < taken; ++k) {
        showRecord(page.records[static_cast<std::size_t>(k)]);
    }
}

void StoredValues::storeLiveValue() {
    const int c = count();
    const int n = c >= 1 && c < memory::kMaxStoredValues ? c + 1 : 1;
    const int b = memory::recordAddress(n);
    protocol::CommandSender& commands = context_.commands;
    commands.writeByte(b, n);
    commands.writeByte(b + 1, context_.state.status.method);
    const auto value = protocol::floatBytes(context_.state.status.measuredValue);
    for (int i = 0; i < 4; ++i) {
        commands.writeByte(b + 2 + i, value[static_cast<std::size_t>(i)]);
    }
    for (int i = 0; i < 4; ++i) {
        commands.writeByte(b + 6 + i, 0);
    }
    commands.writeByte(memory::kStoredCountAddress, n);
    storedValuesTimer_.enable();
}

void StoredValues::eraseStoredValues() {
    if (!context_.messages.confirm(
            QStringLiteral("Удалить все сохраненные значения с прибора ?"))) {
        return;
    }
    {
        const BusyScope busy(progress_);
        clearRows();
        for (int address = memory::kStoredCountAddress; address <= memory::kLastStoredValuesAddress;
             ++address) {
            context_.commands.writeByte(address, memory::kNone);
        }
    }
    storedValuesTimer_.disable();
}

void StoredValues::fetchStoredValues() {
    context_.commands.readStoredValues(memory::kFirstRecordAddress);
    if (count() > memory::kRecordsPerPage) {
        context_.commands.readStoredValues(memory::kSecondPageAddress);
    }
    // The pages are handled after this returns, so they land in the emptied grid.
    clearRows();
}

void StoredValues::copyStoredValuesToTable() {
    const int c = count();
    if (!memory::countHoldsValues(c)) {
        return;
    }
    // One change, so that the journal keeps the rows with one flush.
    const common::EditGroup copy = table_.groupChanges();
    for (int r = 0; r < c; ++r) {
        const StoredValueRow& shown = rows_.row(r);
        // The number shown: all the digits the grid shows of the single-precision value.
        const std::optional<double> value =
            shown ? std::optional(common::generalValue(static_cast<double>(shown->value)))
                  : std::nullopt;
        // A number that cannot advance stops the copy after its row.
        table_.appendRow(table_.newRow(shown ? std::optional<int>(shown->method) : std::nullopt,
                                       value, common::kGeneralFormat));
    }
}

// The timer disables itself once this returns.
void StoredValues::fetchStoredValuesOnTimer() {
    fetchStoredValues();
}

} // namespace zr::records
