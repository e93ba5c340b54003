#include "records/StoredValues.h"

#include "common/HandlerRegistry.h"
#include "common/NumberFormat.h"
#include "common/OneShotTimer.h"
#include "common/TextGrid.h"
#include "device/connection/MethodNames.h"
#include "device/protocol/ByteOrder.h"
#include "device/protocol/MemoryMap.h"
#include "records/MeasurementTable.h"

namespace zr::records {

namespace memory = protocol::memory;

namespace {

constexpr std::uint8_t kErased = 255;

bool holdsValues(int count) {
    return count >= 1 && count <= memory::kMaxStoredValues;
}

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

StoredValues::StoredValues(connection::ControllerContext context, common::TextGrid& grid,
                           common::OneShotTimer& timerReadLog, MeasurementTable& table,
                           Progress progress)
    : context_(context), grid_(grid), timerReadLog_(timerReadLog), table_(table),
      progress_(std::move(progress)) {}

void StoredValues::registerHandlers(common::HandlerRegistry& handlers) {
    handlers.add("ToolButton1Click", [this](int) { ToolButton1Click(); });
    handlers.add("ToolButton2Click", [this](int) { ToolButton2Click(); });
    handlers.add("ToolButton3Click", [this](int) { ToolButton3Click(); });
    handlers.add("ToolButton4Click", [this](int) { ToolButton4Click(); });
}

int StoredValues::count() const {
    return context_.state.status.dataCount;
}

QString StoredValues::methodText(int methodCode) {
    const QString name = connection::methodName(methodCode);
    return name.isEmpty() ? QString::number(methodCode) : name;
}

void StoredValues::clearRows() {
    for (int r = 1; r <= memory::kMaxStoredValues; ++r) {
        for (int c = 0; c < kGridColumns; ++c) {
            grid_.setCell(c, r, QString());
        }
    }
}

void StoredValues::showRecord(const protocol::StoredValueRecord& record) {
    const int row = record.recordNumber;
    if (row < 1 || row > memory::kMaxStoredValues) {
        return;
    }
    grid_.setCell(0, row, QString::number(row));
    grid_.setCell(1, row, methodText(record.method));
    grid_.setCell(2, row, common::formatGeneral(static_cast<double>(record.value)));
    grid_.setCell(3, row, common::formatGeneral(static_cast<double>(record.second)));
}

void StoredValues::StoredValuesPage(const protocol::StoredValuesPage& page) {
    const int c = count();
    if (!holdsValues(c)) {
        return;
    }
    int taken = c;
    if (c > memory::kRecordsPerPage) {
        taken = page.records[0].recordNumber <= memory::kRecordsPerPage
                    ? memory::kRecordsPerPage
                    : c - memory::kRecordsPerPage;
    }
    for (int k = 0; k < taken; ++k) {
        showRecord(page.records[static_cast<std::size_t>(k)]);
    }
}

void StoredValues::ToolButton1Click() {
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
    timerReadLog_.enable();
}

void StoredValues::ToolButton2Click() {
    if (!context_.messages.confirm(
            QStringLiteral("Удалить все сохраненные значения с прибора ?"))) {
        return;
    }
    {
        const BusyScope busy(progress_);
        clearRows();
        for (int address = memory::kStoredCountAddress; address <= memory::kLastStoredValuesAddress;
             ++address) {
            context_.commands.writeByte(address, kErased);
        }
    }
    timerReadLog_.disable();
}

void StoredValues::ToolButton3Click() {
    context_.commands.readStoredValues(memory::kFirstRecordAddress);
    if (count() > memory::kRecordsPerPage) {
        context_.commands.readStoredValues(memory::kSecondPageAddress);
    }
    // The pages are handled after this returns, so they land in the emptied grid.
    clearRows();
}

void StoredValues::ToolButton4Click() {
    const int c = count();
    if (!holdsValues(c)) {
        return;
    }
    for (int r = 1; r <= c; ++r) {
        // A number that cannot advance stops the copy after its row.
        table_.AppendRecord(table_.newRow(grid_.cell(1, r), grid_.cell(2, r)), false);
    }
}

// The timer disables itself once this returns.
void StoredValues::TimerReadLogTimer() {
    ToolButton3Click();
}

} // namespace zr::records
