#pragma once

#include "device/connection/ControllerContext.h"
#include "device/protocol/CommandSender.h"
#include "journal/History.h"
#include "journal/TableJournal.h"
#include "records/MeasurementTable.h"
#include "records/MeasurementTableModel.h"
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

    // "Записать значение" with `value` typed into its value cell, as one change.
    void writeRow(const QString& value) {
        const common::EditGroup edit(model);
        table.writeLiveValue();
        model.setData(model.index(model.rowCount() - 2, 5), value);
    }
    void deleteRow(int row) {
        model.setCurrentRow(row - 1);
        table.deleteCurrentRow();
    }
    // The rows' texts, the entry row included.
    std::vector<QStringList> rows() const {
        std::vector<QStringList> out;
        for (int r = 0; r < model.rowCount(); ++r) {
            QStringList cells;
            for (int c = 0; c < model.columnCount(); ++c) {
                cells << model.data(model.index(r, c)).toString();
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
    records::MeasurementTableModel model;
    records::MeasurementTable table{
        model, lists,
        [] {
            return records::MeasurementTable::LiveReading{1, 0, common::kGeneralFormat};
        },
        records::MeasurementTable::Commands{}};
    std::unique_ptr<TableJournal> journal;
    bool numbersRestored = false;
};

} // namespace zr::journal::test
