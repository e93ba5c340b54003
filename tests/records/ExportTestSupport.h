#pragma once

#include "common/HandlerGuard.h"
#include "common/MemoryTextGrid.h"
#include "device/connection/ControllerContext.h"
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

// A measurement table: header, the given written rows, and the empty entry row.
inline common::MemoryTextGrid measurementTable(const std::vector<std::vector<QString>>& rows) {
    common::MemoryTextGrid grid(7, static_cast<int>(rows.size()) + 2);
    for (std::size_t r = 0; r < rows.size(); ++r) {
        for (std::size_t c = 0; c < rows[r].size(); ++c) {
            grid.setCell(static_cast<int>(c), static_cast<int>(r) + 1, rows[r][c]);
        }
    }
    return grid;
}

inline std::vector<QString> sampleRow(const QString& number, const QString& grade) {
    return {number,
            grade,
            QStringLiteral("P 1"),
            QStringLiteral("ЛУКОЙЛ"),
            QStringLiteral("Исследовательский метод"),
            QStringLiteral("92,3"),
            QStringLiteral("07.12.2026 10:15:00")};
}

} // namespace zr::test
