#include "sim/SimulatorWindow.h"

#include "device/hid/simulated/SimulatedHidBus.h"
#include "sim/SimulatedMeter.h"

#include <QApplication>
#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QMainWindow>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace zr::sim {
namespace {

class SimulatorWindowTest : public ::testing::Test {
protected:
    hid::SimulatedHidBus bus;
    SimulatedMeter meter{bus};
    SimulatorWindow window{meter};

    void SetUp() override {
        meter.setStatusInterval(0);
        meter.setNoiseAmplitude(0.0);
    }
};

TEST_F(SimulatorWindowTest, ButtonsPlugAndUnplugTheMeter) {
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Симулятор"));
    EXPECT_TRUE(window.plugButton()->isEnabled());
    EXPECT_FALSE(window.unplugButton()->isEnabled());

    QTest::mouseClick(window.plugButton(), Qt::LeftButton);
    EXPECT_TRUE(meter.isPlugged());
    EXPECT_EQ(bus.pluggedDevices().size(), 1u);
    EXPECT_FALSE(window.plugButton()->isEnabled());
    EXPECT_TRUE(window.unplugButton()->isEnabled());

    QTest::mouseClick(window.unplugButton(), Qt::LeftButton);
    EXPECT_FALSE(meter.isPlugged());
    EXPECT_TRUE(bus.pluggedDevices().empty());
    EXPECT_TRUE(window.plugButton()->isEnabled());
}

TEST_F(SimulatorWindowTest, ControlsSteerTheSampleAndTheReadoutShowsTheReport) {
    window.octaneSpin()->setValue(97.4);
    EXPECT_DOUBLE_EQ(meter.trueOctane(), 97.4);
    window.outOfRangeCheck()->setChecked(true);
    EXPECT_TRUE(meter.frequencyOutOfRange());

    meter.plug();
    ASSERT_TRUE(meter.sendStatusReport());
    const QString shown = window.readout()->text();
    EXPECT_TRUE(shown.contains(QStringLiteral("частота %1").arg(MeterSample::kOutOfRangeFrequency)))
        << shown.toStdString();
    EXPECT_TRUE(shown.contains(QString::number(MeterSample::uncalibratedReading(97.4), 'f', 2)))
        << shown.toStdString();

    window.outOfRangeCheck()->setChecked(false);
    ASSERT_TRUE(meter.sendStatusReport());
    EXPECT_TRUE(window.readout()->text().contains(
        QStringLiteral("частота %1").arg(MeterSample::frequencyFor(97.4))));
}

TEST_F(SimulatorWindowTest, AnOpenSimulatorDoesNotKeepTheProgramRunningOnceTheMainWindowCloses) {
    QMainWindow mainWindow;
    mainWindow.show();
    window.show();
    QTimer::singleShot(0, &mainWindow, &QWidget::close);
    // Ends a run that would otherwise wait for the simulator window to close too.
    QTimer stuck;
    stuck.setSingleShot(true);
    QObject::connect(&stuck, &QTimer::timeout, [] { QApplication::exit(1); });
    stuck.start(10000);
    EXPECT_EQ(QApplication::exec(), 0);
}

} // namespace
} // namespace zr::sim
