#pragma once

#include "ctl/CtlRun.h"
#include "ctl/ProgramRun.h"
#include "device/hid/simulated/SimulatedHidBus.h"
#include "device/protocol/Commands.h"
#include "device/protocol/ReportBuffer.h"
#include "sim/MeterDevice.h"
#include "sim/MeterModel.h"
#include "sim/SimulatedMeter.h"

#include <QTemporaryDir>
#include <QTimeZone>
#include <QTimer>
#include <atomic>
#include <cstring>
#include <functional>
#include <gtest/gtest.h>

namespace zr::test {

// The simulated meter, counting the commands it is sent; it can be told to leave the stored
// values unanswered, as a meter pulled out mid-fetch would.
class CountingMeterDevice : public sim::MeterDevice {
public:
    void onOutputReport(const std::uint8_t* data, std::size_t length) override {
        if (beforeAnswer) {
            beforeAnswer();
        }
        ++commands;
        const bool storedRead = length > 1 && data[1] == protocol::command::kReadStoredValues;
        storedReads += storedRead ? 1 : 0;
        if (!(storedRead && swallowStoredReads)) {
            sim::MeterDevice::onOutputReport(data, length);
        }
    }
    std::atomic<int> commands{0};
    std::atomic<int> storedReads{0};
    bool swallowStoredReads = false;
    // Runs on the writing thread before the meter takes each command.
    std::function<void()> beforeAnswer;
};

// zr6040ctl's real commands in this process on the simulated HID bus. While a command runs, the
// meter sends a status report every few milliseconds (or the report the test sets), and the test
// may act at each of them.
class CtlOnSimulatedBus : public ::testing::Test {
public:
    hid::SimulatedHidBus bus;
    std::shared_ptr<CountingMeterDevice> meter = std::make_shared<CountingMeterDevice>();
    std::optional<hid::SimulatedDeviceId> meterId;
    QTemporaryDir dataDir;
    // Sent instead of the model's own status report when set.
    std::optional<protocol::ReportBuffer> statusReport;
    // Runs at every tick of the meter's report timer, after its report if it sent one.
    std::function<void()> onTick;
    int reportsSent = 0;
    // What the running command has written so far.
    QByteArray written;
    bool reporting = true;

    void SetUp() override {
        meter->withModel([](sim::MeterModel& model) { model.sample().setNoiseAmplitude(0.0); });
    }

    hid::SimulatedDeviceId plug(hid::SimulatedDeviceInfo info = sim::SimulatedMeter::deviceInfo()) {
        meterId = bus.plug(info, meter);
        return *meterId;
    }

    void unplug() {
        if (meterId) {
            bus.unplug(*meterId);
            meterId.reset();
        }
    }

    static QDateTime fixedTime() {
        return QDateTime(QDate(2026, 5, 4), QTime(9, 30, 15, 250), QTimeZone(3 * 3600));
    }

    CtlOutcome run(const QStringList& arguments) {
        const ctl::ParsedCommandLine parsed =
            ctl::parseCommandLine(QStringList{QStringLiteral("zr6040ctl")} + arguments);
        EXPECT_TRUE(parsed.run) << parsed.standardError.toStdString();
        CtlOutcome outcome;
        ctl::CommandRunner::Io io = capturingIo(outcome);
        written.clear();
        io.out = [&, captured = std::move(io.out)](const QByteArray& bytes) {
            written += bytes;
            return captured(bytes);
        };
        io.now = &fixedTime;
        io.locale = QLocale::c();
        io.defaultLibraryFile = dataDir.filePath(QStringLiteral("data.zr"));
        ctl::ProgramRun program(parsed.invocation, bus, dataDir.path(), std::move(io));

        QTimer reports;
        reports.setInterval(5);
        QObject::connect(&reports, &QTimer::timeout, [this] {
            if (reporting && meterId &&
                (statusReport ? meter->sendReport(*statusReport)
                              : meter->sendStatusReport().has_value())) {
                ++reportsSent;
            }
            if (onTick) {
                onTick();
            }
        });
        reports.start();
        outcome.status = program.exec();
        return outcome;
    }

    // A status report of the given fields.
    static protocol::ReportBuffer status(std::uint16_t frequency, std::uint8_t method, float value,
                                         float correction, std::uint8_t table, std::uint8_t count) {
        protocol::ReportBuffer report{};
        report[1] = protocol::reply::kStatusReport;
        report[2] = static_cast<std::uint8_t>(frequency & 0xFF);
        report[3] = static_cast<std::uint8_t>(frequency >> 8);
        report[4] = method;
        std::memcpy(&report[5], &value, 4);
        std::memcpy(&report[9], &correction, 4);
        report[13] = table;
        report[14] = count;
        return report;
    }
};

} // namespace zr::test
