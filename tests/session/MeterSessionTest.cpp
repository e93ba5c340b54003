#include "session/MeterSession.h"
#include "common/NumberFormat.h"
#include "device/connection/MethodNames.h"
#include "device/hid/simulated/SimulatedHidBus.h"
#include "records/BusyCursor.h"
#include "records/PrintPreviewPort.h"
#include "records/SaveDialogPort.h"
#include "sim/DemonstrationContents.h"
#include "sim/MeterDevice.h"
#include "sim/MeterModel.h"
#include "sim/SimulatedMeter.h"
#include "support/FakeMessageService.h"
#include "support/WaitUntil.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <vector>

namespace {

using zr::session::MeterSession;

struct NoSaveDialog : zr::records::SaveDialogPort {
    std::optional<zr::records::SaveChoice> execute() override { return std::nullopt; }
};
struct NoBusyCursor : zr::records::BusyCursor {
    void show() override {}
    void restore() override {}
};
struct NoPreview : zr::records::PrintPreviewPort {
    void showPreview(const zr::records::MeasurementRows&) override {}
};

// The session alone on the simulated bus, with the demonstration contents in the meter.
struct SessionWithoutWidgets : ::testing::Test {
    zr::hid::SimulatedHidBus bus;
    zr::sim::SimulatedMeter meter{bus};
    zr::test::FakeMessageService messages;
    NoSaveDialog saveDialog;
    NoBusyCursor busyCursor;
    NoPreview preview;
    QTemporaryDir dataDir;
    std::unique_ptr<MeterSession> session;

    void SetUp() override {
        meter.setNoiseAmplitude(0.0);
        meter.device().withModel(
            [](zr::sim::MeterModel& model) { zr::sim::loadDemonstrationContents(model); });
        meter.plug();
        session = std::make_unique<MeterSession>(
            bus, dataDir.path(),
            zr::session::SessionPorts{
                messages, saveDialog, busyCursor, preview, {}, {}, {}, {}, {}, {}});
        session->start();
    }
    void TearDown() override { session.reset(); }
};

TEST_F(SessionWithoutWidgets, TheLiveStatusArrives) {
    int statuses = 0;
    QObject::connect(session.get(), &MeterSession::statusReport, [&] { ++statuses; });
    WAIT_UNTIL(session->state().currentDevice != nullptr, 3000);
    WAIT_UNTIL(statuses > 0, 3000);
    int method = 0;
    meter.device().withModel([&](zr::sim::MeterModel& model) { method = model.method(); });
    EXPECT_EQ(session->state().status.method, method);
    EXPECT_NE(session->state().status.frequency, 0);
}

TEST_F(SessionWithoutWidgets, FetchesTheStoredValuesIntoItsGrid) {
    // What the demonstration contents store.
    const struct {
        int row;
        int method;
        float value;
    } stored[] = {{1, 1, 92.3F}, {2, 1, 95.1F}, {3, 2, 84.6F}};
    const zr::common::GridModel& grid = session->storedValuesGrid();
    const auto cell = [&grid](int column, int row) {
        return grid.data(grid.index(row - 1, column)).toString();
    };
    for (const auto& record : stored) {
        WAIT_UNTIL_EQ(cell(2, record.row),
                      zr::common::formatGeneral(static_cast<double>(record.value)), 5000);
        EXPECT_EQ(cell(1, record.row), zr::connection::methodName(record.method));
        EXPECT_EQ(cell(0, record.row), QString::number(record.row));
    }
}

TEST_F(SessionWithoutWidgets, ReadsTheCalibrationListIntoItsGrid) {
    WAIT_UNTIL(session->state().status.method != 0, 3000);
    const int method = session->state().status.method;
    std::vector<zr::protocol::CalibrationSlot> entries;
    meter.device().withModel([&](zr::sim::MeterModel& model) {
        for (int slot = 1; slot <= zr::sim::MeterModel::kSlotsPerMethod; ++slot) {
            if (const auto entry = model.calibration(method, slot)) {
                entries.push_back(*entry);
            }
        }
    });
    // The demonstration contents hold a calibration for every method.
    ASSERT_FALSE(entries.empty()) << "no calibration of method " << method << " to look for";
    const zr::common::GridModel& grid = session->calibrationGrid();
    const auto cell = [&grid](int column, int slot) {
        return grid.data(grid.index(slot - 1, column)).toString();
    };
    for (const zr::protocol::CalibrationSlot& entry : entries) {
        WAIT_UNTIL_EQ(cell(2, entry.slot), QString::number(entry.k1), 5000);
        EXPECT_EQ(cell(3, entry.slot), QString::number(entry.k2));
        EXPECT_FALSE(cell(1, entry.slot).trimmed().isEmpty());
    }
}

// Another method's list is asked for with that method in the requests, while the live status
// keeps the meter's method throughout (a report handled meanwhile would see it).
TEST_F(SessionWithoutWidgets, AnotherMethodsCalibrationListLeavesTheLiveStatusAlone) {
    WAIT_UNTIL(session->state().status.method != 0, 3000);
    const int inForce = session->state().status.method;
    const int other = inForce == 3 ? 1 : 3;
    QList<int> methodsWhileSending;
    QObject::connect(session.get(), &MeterSession::trafficLogLine, [&](const std::string& line) {
        if (line.starts_with("WR")) {
            methodsWhileSending << session->state().status.method;
        }
    });
    std::optional<QList<zr::protocol::CalibrationSlot>> fetched;
    QObject::connect(session.get(), &MeterSession::calibrationListFetched,
                     [&](int method, const QList<zr::protocol::CalibrationSlot>& entries) {
                         EXPECT_EQ(method, other);
                         fetched = entries;
                     });
    session->fetchCalibrationList(other);
    WAIT_UNTIL(fetched.has_value(), 5000);
    QList<zr::protocol::CalibrationSlot> expected;
    meter.device().withModel([&](zr::sim::MeterModel& model) {
        for (int slot = 1; slot <= zr::sim::MeterModel::kSlotsPerMethod; ++slot) {
            if (const auto entry = model.calibration(other, slot)) {
                expected << *entry;
            }
        }
    });
    EXPECT_EQ(*fetched, expected);
    ASSERT_FALSE(methodsWhileSending.isEmpty());
    EXPECT_EQ(methodsWhileSending, QList<int>(methodsWhileSending.size(), inForce));
}

} // namespace
