#pragma once

#include "common/TextTableModel.h"
#include "device/connection/ControllerContext.h"
#include "device/protocol/CommandSender.h"
#include "journal/History.h"
#include "journal/TableJournal.h"
#include "records/MeasurementTable.h"
#include "records/SelectionLists.h"
#include "support/FakeMessageService.h"

#include <QDir>
#include <QStringList>
#include <memory>

namespace zr::journal::test {

// No meter attached.
class AbsentMeter : public protocol::MeterPort {
public:
    bool connected() const override { return false; }
    std::size_t outputReportLength() override { return 65; }
    protocol::WriteOutcome write(const std::uint8_t*, std::size_t length) override {
        return {false, length, 0};
    }
};

// A stand-in for a process that has ended: its sessions count as abandoned.
inline ProcessIdentity endedProcess(int n) {
    return {n, QStringLiteral("another boot"), QString::number(n)};
}

// Every row of the journal's history, oldest first.
inline std::vector<HistoryRow> historyRows(const QString& path) {
    History history(path, 2000);
    history.select({}, {});
    std::vector<HistoryRow> rows;
    for (HistoryRow row; history.next(row);) {
        rows.push_back(row);
    }
    return rows;
}

// One run of the program's measurement table: the real table model and table logic, with the
// journal in `dataDir` bound to the model.
struct JournalRig {
    explicit JournalRig(const QString& dataDir,
                        ProcessIdentity identity = ProcessIdentity::current(),
                        int busyTimeoutMs = 2000)
        : lists(context, dataDir, records::SelectionLists::Input{}),
          journal(std::make_unique<TableJournal>(
              model, messages, QDir(dataDir).filePath(QString::fromLatin1(kJournalFileName)),
              TableJournal::Options{busyTimeoutMs, std::move(identity), {}})) {
        // The built-in items, as without list files.
        for (int list = 1; list <= records::SelectionLists::kLists; ++list) {
            lists.list(list).select(0);
        }
        numbersRestored = journal->followNumberList(lists.list(1));
    }

    // "Записать значение" with `value` as the live reading.
    void writeRow(const QString& value) {
        live.value = value;
        table.writeLiveValue();
    }
    void deleteRow(int row) {
        model.setCurrentGridRow(row);
        table.deleteCurrentRow();
    }
    // The body rows' texts, the entry row included.
    std::vector<QStringList> rows() const {
        std::vector<QStringList> out;
        for (int r = 1; r < model.rowCountWithHeader(); ++r) {
            QStringList cells;
            for (int c = 0; c < model.colCount(); ++c) {
                cells << model.cell(c, r);
            }
            out.push_back(cells);
        }
        return out;
    }

    connection::SharedState state;
    AbsentMeter meter;
    protocol::CommandSender commands{meter, [](const std::string&) {}, [] {}};
    zr::test::FakeMessageService messages;
    connection::ControllerContext context{state, commands, messages};
    records::SelectionLists lists;
    common::TextTableModel model{7, 2};
    records::MeasurementTable::LiveCaptions live{QStringLiteral("Исследовательский метод"),
                                                 QStringLiteral("0")};
    records::MeasurementTable table{model, lists, [this] { return live; },
                                    records::MeasurementTable::Commands{}};
    std::unique_ptr<TableJournal> journal;
    bool numbersRestored = false;
};

} // namespace zr::journal::test
