#pragma once

#include "app/Dialogs.h"
#include "calibration/MeterCalibrations.h"
#include "support/MeterHarness.h"
#include "support/WaitUntil.h"
#include "ui/StringGrid.h"

#include <QImage>
#include <QStringList>
#include <QToolButton>
#include <vector>

namespace zr::test {

// The bytes of a command line of the traffic log ("WR 41  00 3D 01 …"), empty for other lines.
inline std::vector<int> writtenBytes(const QString& line) {
    std::vector<int> bytes;
    if (!line.startsWith(QStringLiteral("WR "))) {
        return bytes;
    }
    const QString data = line.mid(line.indexOf(QStringLiteral("  ")) + 2);
    for (const QString& b : data.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        bytes.push_back(b.toInt(nullptr, 16));
    }
    return bytes;
}

// Every command the program wrote, in order.
inline std::vector<std::vector<int>> commandsSent(MeterHarness& h) {
    std::vector<std::vector<int>> sent;
    for (std::size_t i = 0; i < h.logLines(); ++i) {
        auto bytes = writtenBytes(h.logLine(i));
        if (!bytes.empty()) {
            sent.push_back(std::move(bytes));
        }
    }
    return sent;
}

// The request calibration entry commands written so far, as {slot, method}.
inline std::vector<std::pair<int, int>> entryRequests(MeterHarness& h) {
    std::vector<std::pair<int, int>> requests;
    for (const auto& bytes : commandsSent(h)) {
        if (bytes.size() > 13 && bytes[1] == 0x3D) {
            requests.emplace_back(bytes[2], bytes[13]);
        }
    }
    return requests;
}

// Received reports of one reply code, counted by their traffic log lines.
inline std::size_t receivedLines(MeterHarness& h, const char* codeInDecimal) {
    const QString prefix = QString::fromLatin1(codeInDecimal) + QLatin1Char(' ');
    std::size_t count = 0;
    for (std::size_t i = 0; i < h.logLines(); ++i) {
        count += h.logLine(i).startsWith(prefix) ? 1 : 0;
    }
    return count;
}

inline std::size_t entryReplies(MeterHarness& h) {
    return receivedLines(h, "61");
}

// The meter's own status report (method, calibration in force, correction), once handled.
// Other replies may still be on their way, so the wait is for the status report itself.
inline void meterStatus(MeterHarness& h) {
    const std::size_t before = receivedLines(h, "55");
    ASSERT_TRUE(h.meter.sendStatusReport());
    WAIT_UNTIL(receivedLines(h, "55") > before, 3000);
    h.waitForDisplay();
}

// Waits until the list of the meter's method has been read whole since the method or the meter
// last changed, as a copy from the library needs.
inline void waitForCalibrationList(MeterHarness& h) {
    WAIT_UNTIL(!h.session().calibrationListTimer().isEnabled() &&
                   h.session().meterCalibrations().listRead(h.session().state().status.method,
                                                            h.session().state().meterAttachment),
               5000);
}

inline ui::StringGrid* calibrationGrid(MeterHarness& h) {
    return h.find<ui::StringGrid>(QStringLiteral("StringGrid1"));
}

inline void click(MeterHarness& h, const char* toolButton) {
    auto* button = h.find<QToolButton>(QString::fromLatin1(toolButton));
    ASSERT_NE(button, nullptr) << toolButton;
    button->click();
}

// The grid rows whose first cell is painted red (the window must be shown).
inline std::vector<int> redRows(MeterHarness& h) {
    ui::StringGrid* grid = calibrationGrid(h);
    const QImage image = grid->viewport()->grab().toImage();
    std::vector<int> rows;
    for (int r = 1; r < grid->rowCountWithHeader(); ++r) {
        const QRect cell = grid->visualRect(grid->model()->index(r - 1, 0));
        if (image.pixelColor(cell.right() - 3, cell.bottom() - 3) == QColor(255, 0, 0)) {
            rows.push_back(r);
        }
    }
    return rows;
}

} // namespace zr::test
