#include "session/MeterSession.h"
#include "device/hid/simulated/SimulatedHidBus.h"
#include "records/BusyCursor.h"
#include "records/PrintPreviewPort.h"
#include "records/SaveDialogPort.h"
#include "records/StoredValues.h"
#include "sim/DemonstrationContents.h"
#include "sim/MeterDevice.h"
#include "sim/MeterModel.h"
#include "sim/SimulatedMeter.h"
#include "support/FakeMessageService.h"
#include "support/WaitUntil.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

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
    QObject::connect(session.get(), &MeterSession::statusReceived, [&] { ++statuses; });
    WAIT_UNTIL(session->state().currentDevice != nullptr, 3000);
    WAIT_UNTIL(statuses > 0, 3000);
    int method = 0;
    meter.device().withModel([&](zr::sim::MeterModel& model) { method = model.method(); });
    EXPECT_EQ(session->state().status.method, method);
    EXPECT_NE(session->state().status.frequency, 0);
}

TEST_F(SessionWithoutWidgets, FetchesTheStoredValues) {
    // What the demonstration contents store.
    const struct {
        int row;
        int method;
        float value;
    } stored[] = {{1, 1, 92.3F}, {2, 1, 95.1F}, {3, 2, 84.6F}};
    const auto& storedValues = session->storedValues();
    WAIT_UNTIL_EQ(storedValues.records().size(), 3, 5000);
    for (const auto& record : stored) {
        const zr::protocol::StoredValueRecord held = storedValues.records().at(record.row - 1);
        EXPECT_EQ(held.recordNumber, record.row);
        EXPECT_EQ(held.method, record.method);
        EXPECT_EQ(held.value, record.value);
    }
}

TEST_F(SessionWithoutWidgets, ReadsTheCalibrationListIntoItsGrid) {
    WAIT_UNTIL(session->state().status.method != 0, 3000);
    const int method = session->state().status.method;
    zr::common::TextGrid& grid = session->calibrationGrid();
    for (int slot = 1; slot <= zr::sim::MeterModel::kSlotsPerMethod; ++slot) {
        std::optional<zr::protocol::CalibrationSlot> entry;
        meter.device().withModel(
            [&](zr::sim::MeterModel& model) { entry = model.calibration(method, slot); });
        if (!entry) {
            continue;
        }
        WAIT_UNTIL_EQ(grid.cell(2, slot), QString::number(entry->k1), 5000);
        EXPECT_EQ(grid.cell(3, slot), QString::number(entry->k2));
        EXPECT_FALSE(grid.cell(1, slot).trimmed().isEmpty());
    }
}

} // namespace
