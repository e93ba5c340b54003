#pragma once

#include "common/OneShotTimer.h"
#include "device/connection/ControllerContext.h"
#include "device/protocol/CommandSender.h"
#include "records/MeasurementTable.h"
#include "records/MeasurementTableModel.h"
#include "records/SelectionLists.h"
#include "records/StoredValues.h"
#include "records/StoredValuesModel.h"
#include "support/FakeMessageService.h"
#include "support/MemoryFiles.h"

#include <gtest/gtest.h>
#include <optional>
#include <vector>

namespace zr::records::test {

// The meter as a list of the reports written to it.
class RecordingPort : public protocol::MeterPort {
public:
    bool isConnected = true;
    std::vector<std::vector<std::uint8_t>> writes;

    bool connected() const override { return isConnected; }
    std::size_t outputReportLength() override { return 65; }
    protocol::WriteOutcome write(const std::uint8_t* data, std::size_t length) override {
        writes.emplace_back(data, data + length);
        return {true, length, 0};
    }

    // (address, value) of every write byte command, in order.
    std::vector<std::pair<int, int>> writtenBytes() const {
        std::vector<std::pair<int, int>> out;
        for (const auto& w : writes) {
            if (w[1] == 0x66) {
                out.emplace_back(w[2], w[3]);
            }
        }
        return out;
    }
    // Start addresses of the read stored values commands, in order.
    std::vector<int> storedValueRequests() const {
        std::vector<int> out;
        for (const auto& w : writes) {
            if (w[1] == 0x67) {
                out.push_back(w[2]);
            }
        }
        return out;
    }
};

// The records controllers on their grids' models, a recording meter port and files in memory.
class RecordsFixture : public ::testing::Test {
protected:
    RecordsFixture() { lists.loadSelectionLists(); }

    QString path(int list) const { return lists.filePath(list); }
    // What the grids show: (column, row), row 1 the first row under the header.
    QString tableCell(int column, int row) const {
        return tableRows.data(tableRows.index(row - 1, column)).toString();
    }
    QString storedCell(int column, int row) const {
        return storedRows.data(storedRows.index(row - 1, column)).toString();
    }

    connection::SharedState state;
    RecordingPort port;
    std::vector<std::string> log;
    int notConnected = 0;
    protocol::CommandSender commands{port, [this](const std::string& l) { log.push_back(l); },
                                     [this] { ++notConnected; }};
    zr::test::FakeMessageService messages;
    connection::ControllerContext context{state, commands, messages};

    zr::test::MemoryFiles files;
    std::optional<int> nextNumber;
    std::optional<QString> nextText;
    int asked = 0;
    SelectionLists lists{context, QStringLiteral("/data"), files,
                         SelectionLists::Input{[this] {
                                                   ++asked;
                                                   return nextNumber;
                                               },
                                               [this] {
                                                   ++asked;
                                                   return nextText;
                                               }}};

    MeasurementTableModel tableRows;
    MeasurementTable::LiveReading live;
    QDateTime now{QDate(2026, 3, 14), QTime(9, 5, 7)};
    MeasurementTable table{tableRows, lists, [this] { return live; }, MeasurementTable::Commands{},
                           [this] { return now; }};

    StoredValuesModel storedRows;
    common::OneShotTimer storedValuesTimer{1500};
    QStringList progress;
    StoredValues stored{context, storedRows, storedValuesTimer, table,
                        StoredValues::Progress{[this](const QString& text) { progress << text; },
                                               [this](bool busy) {
                                                   progress << (busy ? QStringLiteral("busy")
                                                                     : QStringLiteral("idle"));
                                               }}};
};

} // namespace zr::records::test
