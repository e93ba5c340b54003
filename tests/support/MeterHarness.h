#pragma once

#include "app/ServicePage.h"
#include "device/protocol/ReportBuffer.h"
#include "device/protocol/TrafficLog.h"
#include "sim/MeterDevice.h"
#include "sim/SimulatedMeter.h"
#include "support/ProgramHarness.h"
#include "support/WaitUntil.h"
#include "ui/LogView.h"
#include "ui/StatusPanels.h"

#include <QTest>
#include <cstring>
#include <gtest/gtest.h>
#include <initializer_list>

namespace zr::test {

// The program with the meter simulator plugged into its simulated HID bus. The simulator sends
// no status reports on its own: tests send exactly the reports they need.
class MeterHarness : public ProgramHarness {
public:
    explicit MeterHarness(bool plugged = true) : ProgramHarness(false), meter(bus) {
        meter.setStatusInterval(0);
        meter.setNoiseAmplitude(0.0);
        if (plugged) {
            meter.plug();
        }
        start();
        if (plugged) {
            waitForMeter();
        }
    }

    void waitForMeter() { WAIT_UNTIL(session().state().currentDevice != nullptr, 3000); }

    QString statusPanel(int index) { return window().status()->panelText(index); }

    // Sends a report of the given leading bytes (byte 0 = report ID, byte 1 = reply code) and
    // waits until the program has handled it and shown its effect.
    void sendReport(std::initializer_list<std::uint8_t> bytes) {
        protocol::ReportBuffer report{};
        std::size_t i = 0;
        for (std::uint8_t b : bytes) {
            report[i++] = b;
        }
        // Replies to earlier commands may still come in: wait for this report's own line.
        const QString line = QString::fromStdString(
            protocol::formatReceiveLine(report.data() + 1, sim::SimulatedMeter::kReportLength - 1));
        const std::size_t before = logLines();
        ASSERT_TRUE(meter.sendReport(report));
        WAIT_UNTIL(loggedSince(before, line), 3000);
        waitForDisplay();
    }

    bool loggedSince(std::size_t first, const QString& line) {
        for (std::size_t i = first; i < logLines(); ++i) {
            if (logLine(i) == line) {
                return true;
            }
        }
        return false;
    }

    // The live display shows the newest status once per frame.
    void waitForDisplay() { WAIT_UNTIL(!window().displayPending(), 3000); }

    // A status report with the given fields.
    void sendStatus(std::uint16_t frequency, std::uint8_t method, float value, float correction,
                    std::uint8_t activeTable, std::uint8_t dataCount) {
        std::uint8_t v[4];
        std::uint8_t c[4];
        std::memcpy(v, &value, 4);
        std::memcpy(c, &correction, 4);
        sendReport({0, 0x37, static_cast<std::uint8_t>(frequency & 0xFF),
                    static_cast<std::uint8_t>(frequency >> 8), method, v[0], v[1], v[2], v[3], c[0],
                    c[1], c[2], c[3], activeTable, dataCount});
    }

    std::size_t logLines() { return window().servicePage()->log()->lineCount(); }
    QString logLine(std::size_t i) { return window().servicePage()->log()->line(i); }
    QString lastLogLine() { return logLine(logLines() - 1); }

    sim::SimulatedMeter meter;
};

} // namespace zr::test
