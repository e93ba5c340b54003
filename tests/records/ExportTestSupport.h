#pragma once

#include "common/HandlerGuard.h"
#include "common/NumberFormat.h"
#include "device/connection/ControllerContext.h"
#include "records/MeasurementTableModel.h"
#include "support/FakeMessageService.h"
#include "support/TestFiles.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <vector>

namespace zr::test {

class NoMeter : public protocol::MeterPort {
public:
    bool connected() const override { return false; }
    std::size_t outputReportLength() override { return 65; }
    protocol::WriteOutcome write(const std::uint8_t*, std::size_t) override { return {}; }
};

// What every records controller is given, with the user's message boxes recorded, and the
// handler guard that shows a handler's error as the program does.
struct ControllerRig {
    connection::ControllerContext context() { return {state, commands, messages}; }
    template <typename Handler> void run(Handler handler) { guard.run(handler); }

    NoMeter port;
    connection::SharedState state;
    protocol::CommandSender commands{port, [](const std::string&) {}, [] {}};
    FakeMessageService messages;
    common::HandlerGuard guard{messages};
};

// A measurement table's rows: the given written rows and the empty entry row.
inline records::MeasurementRows measurementRows(const records::MeasurementRows& written) {
    records::MeasurementRows rows = written;
    rows.append(records::MeasurementRow{});
    return rows;
}

// Puts the rows into the table's model in place of its own.
inline void showRows(records::MeasurementTableModel& table, const records::MeasurementRows& rows) {
    table.setRowCount(0);
    for (const records::MeasurementRow& row : rows) {
        table.appendRow(row);
    }
}

// A row as "Записать значение" writes it: the research method at 92.3, on 7 December 2026 at
// 10:15 local time.
inline records::MeasurementRow sampleRow(const QString& number, const QString& grade) {
    records::MeasurementRow row;
    row.number = number;
    row.grade = grade;
    row.tank = QStringLiteral("P 1");
    row.supplier = QStringLiteral("ЛУКОЙЛ");
    row.method = 1;
    row.value = 92.3;
    row.valueDecimals = common::kOneDecimal;
    row.moment = QDateTime(QDate(2026, 12, 7), QTime(10, 15)).toUTC();
    return row;
}

} // namespace zr::test
