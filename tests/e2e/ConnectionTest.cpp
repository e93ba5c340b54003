#include "app/ResultsBlock.h"
#include "device/hid/HidDevice.h"
#include "support/CLocaleMessages.h"
#include "support/LocaleGuard.h"
#include "support/MeterHarness.h"
#include "support/WaitUntil.h"
#include "ui/StringGrid.h"

#include <QAction>
#include <QLabel>
#include <QSignalSpy>
#include <gtest/gtest.h>

using zr::test::LocaleGuard;
using zr::test::MeterHarness;

namespace {

QString valueText(MeterHarness& h) {
    return h.window().results()->valuePanel()->text();
}
QColor valueColour(MeterHarness& h) {
    return h.window().results()->valuePanel()->palette().color(QPalette::WindowText);
}
QString octanPanel(MeterHarness& h, int i) {
    return h.window().results()->statusPanels()->panelText(i);
}

} // namespace

TEST(Connection, ArrivalShowsTheMetersProductString) {
    MeterHarness h;
    EXPECT_EQ(h.statusPanel(0), QStringLiteral("ZR-6040 USB"));
    EXPECT_EQ(h.session().state().deviceList.size(), 1U);
}

TEST(Connection, TheStatusExampleShowsWithACommaAndWithAPoint) {
    for (const auto& [locale, value, correction] :
         {std::tuple{QLocale(QLocale::Russian), "92,3", "Коррекция=0,5"},
          std::tuple{QLocale(QLocale::English), "92.3", "Коррекция=0.5"}}) {
        LocaleGuard guard{locale};
        MeterHarness h;
        h.find<zr::ui::StringGrid>("StringGrid1")->setCell(1, 2, QStringLiteral("AI95-LAB"));
        // The report bytes of the protocol's example.
        h.sendReport({0x00, 0x37, 0x94, 0x11, 0x01, 0x9A, 0x99, 0xB8, 0x42, 0x00, 0x00, 0x00, 0x3F,
                      0x02, 0x03});
        EXPECT_TRUE(h.lastLogLine().startsWith("55 148 17 01 154 153 184 66 00 00 00 63 02 03 "));
        EXPECT_EQ(h.window().results()->methodLabel()->text(),
                  QStringLiteral("Исследовательский метод"));
        EXPECT_EQ(valueText(h), QString::fromLatin1(value));
        EXPECT_EQ(valueColour(h), QColor(255, 0, 0));
        EXPECT_EQ(h.window().results()->calibrationLabel()->text(), QStringLiteral("AI95-LAB"));
        EXPECT_EQ(octanPanel(h, 1), QString::fromUtf8(correction));
        EXPECT_EQ(octanPanel(h, 2), QStringLiteral("Таблица=2"));
        EXPECT_EQ(h.statusPanel(3), QStringLiteral("Частота=4500 Данных=3"));
    }
}

TEST(Connection, TheValueShowsOnlyWithinTheFrequencyRange) {
    LocaleGuard guard{QLocale(QLocale::English)};
    MeterHarness h;
    const std::pair<std::uint16_t, const char*> cases[] = {
        {3999, "0"}, {4000, "95.1"}, {5100, "95.1"}, {5101, "0"}};
    for (const auto& [frequency, expected] : cases) {
        h.sendStatus(frequency, 1, 95.06F, -1.25F, 0, 0);
        EXPECT_EQ(valueText(h), QString::fromLatin1(expected)) << frequency;
        EXPECT_EQ(octanPanel(h, 1), QStringLiteral("Коррекция=-1.2")) << frequency;
        EXPECT_EQ(h.statusPanel(3), QStringLiteral("Частота=%1 Данных=0").arg(frequency));
    }
}

TEST(Connection, ActiveTableMarksTheCalibrationInForce) {
    MeterHarness h;
    h.find<zr::ui::StringGrid>("StringGrid1")->setCell(1, 2, QStringLiteral("SECOND"));
    h.sendStatus(4500, 1, 92.0F, 0, 0, 0);
    EXPECT_EQ(octanPanel(h, 2), QStringLiteral("Таблица=0"));
    EXPECT_EQ(h.window().results()->calibrationLabel()->text(), QString());
    EXPECT_EQ(valueColour(h), QColor(Qt::black));
    EXPECT_EQ(valueText(h), QStringLiteral("92"));

    h.sendStatus(4500, 1, 92.0F, 0, 255, 0);
    EXPECT_EQ(octanPanel(h, 2), QStringLiteral("Таблица=255"));
    EXPECT_EQ(h.window().results()->calibrationLabel()->text(), QString());
    EXPECT_EQ(valueColour(h), QColor(255, 0, 0));

    h.sendStatus(4500, 1, 92.0F, 0, 2, 0);
    EXPECT_EQ(h.window().results()->calibrationLabel()->text(), QStringLiteral("SECOND"));
    EXPECT_EQ(valueColour(h), QColor(255, 0, 0));
}

TEST(Connection, MethodNamesAndUnknownMethods) {
    MeterHarness h;
    h.sendStatus(4500, 4, 92.0F, 0, 0, 0);
    EXPECT_EQ(h.window().results()->methodLabel()->text(), QStringLiteral("AKI"));
    h.sendStatus(4500, 0, 92.0F, 0, 0, 0);
    EXPECT_EQ(h.window().results()->methodLabel()->text(), QStringLiteral("AKI"));
    h.sendStatus(4500, 2, 92.0F, 0, 0, 0);
    EXPECT_EQ(h.window().results()->methodLabel()->text(), QStringLiteral("Моторный метод"));
}

// Waits on conditions only: how long a step takes under a loaded machine does not matter. That
// repeated requests within the interval do not restart it is the timer's own test.
TEST(Connection, AMethodChangeRequestsTheCalibrationListOnceAboutASecondLater) {
    MeterHarness h;
    zr::common::OneShotTimer& timer = h.session().calibrationListTimer();
    EXPECT_EQ(timer.interval(), 1000);
    WAIT_UNTIL(!timer.isEnabled(), 10000); // the start-up round has passed
    h.sendStatus(4500, 1, 92.0F, 0, 0, 0); // the first status changes the method
    WAIT_UNTIL(!timer.isEnabled(), 10000);
    QSignalSpy expiries(&timer, &zr::common::OneShotTimer::expired);
    h.sendStatus(4500, 2, 92.0F, 0, 0, 0);
    EXPECT_TRUE(timer.isEnabled() || expiries.count() == 1) << "a method change arms it";
    h.sendStatus(4500, 2, 92.0F, 0, 0, 0);
    WAIT_UNTIL_EQ(expiries.count(), 1, 10000);
    EXPECT_FALSE(timer.isEnabled());
    // The same method again arms nothing, so no second request can follow.
    h.sendStatus(4500, 2, 92.0F, 0, 0, 0);
    EXPECT_FALSE(timer.isEnabled());
    EXPECT_EQ(expiries.count(), 1);
    EXPECT_EQ(h.session().state().status.method, 2);
}

TEST(Connection, TheMethodMenuSendsTheCommandAndArmsTheListRefresh) {
    MeterHarness h;
    zr::common::OneShotTimer& timer = h.session().calibrationListTimer();
    WAIT_UNTIL(!timer.isEnabled(), 10000); // the start-up round has passed
    h.find<QAction>("N22")->trigger();
    EXPECT_TRUE(h.lastLogLine().startsWith("WR 41  00 64 02 00 "));
    EXPECT_EQ(h.session().state().status.method, 2);
    EXPECT_TRUE(timer.isEnabled());
    WAIT_UNTIL_EQ(
        h.meter.device().withModel([](const zr::sim::MeterModel& m) { return m.method(); }), 2,
        10000);
    // The meter confirming the method does not arm the timer again.
    WAIT_UNTIL(!timer.isEnabled(), 10000);
    h.sendStatus(4500, 2, 92.0F, 0, 0, 0);
    EXPECT_FALSE(timer.isEnabled());
}

TEST(Connection, OtherDevicesComeAndGoWithoutDroppingTheMeter) {
    MeterHarness h;
    zr::hid::SimulatedDeviceInfo mouse;
    mouse.path = QStringLiteral("sim/mouse");
    mouse.vendorId = 0x046D;
    mouse.productId = 0xC077;
    mouse.product = QStringLiteral("Mouse");
    mouse.caps.inputReportByteLength = 5;
    mouse.caps.outputReportByteLength = 0;
    const auto id = h.bus.plug(mouse, nullptr);
    WAIT_UNTIL_EQ(h.session().state().deviceList.size(), 2U, 3000);
    h.waitForMeter();
    zr::hid::HidDevice* listedMouse = h.session().state().deviceList.back();
    ASSERT_EQ(listedMouse->productId(), 0xC077);
    h.bus.unplug(id);
    // The scan that finds the mouse gone has run: had it dropped the meter too, it would show.
    WAIT_UNTIL(!listedMouse->isPresent(), 3000);
    EXPECT_EQ(h.statusPanel(0), QStringLiteral("ZR-6040 USB"));
    ASSERT_NE(h.session().state().currentDevice, nullptr);
    h.sendStatus(4600, 1, 91.0F, 0, 0, 0);
    EXPECT_EQ(h.statusPanel(3), QStringLiteral("Частота=4600 Данных=0"));
}

TEST(Connection, UnpluggingTheMeterDisconnectsItAndCommandsAreRefused) {
    MeterHarness h;
    h.meter.unplug();
    WAIT_UNTIL(h.session().state().currentDevice == nullptr, 3000);
    EXPECT_EQ(h.statusPanel(0), QString());
    const std::size_t lines = h.logLines();
    h.find<QAction>("N21")->trigger();
    EXPECT_EQ(h.statusPanel(0), QStringLiteral("Прибор не подключен !"));
    EXPECT_EQ(h.logLines(), lines);

    h.meter.plug();
    h.waitForMeter();
    EXPECT_EQ(h.statusPanel(0), QStringLiteral("ZR-6040 USB"));
}

TEST(Connection, ClosingTheWindowReleasesTheDevicesAndStopsTheMetersReader) {
    MeterHarness h;
    h.window().show();
    zr::hid::HidDevice* meter = h.session().state().currentDevice;
    ASSERT_TRUE(meter->hasReader());
    h.window().close();
    EXPECT_TRUE(h.session().state().deviceList.empty());
    // Destroying the window stops the reader before anything it reports to is gone.
    h.program.reset();
    ASSERT_EQ(h.bus.pluggedDevices().size(), 1U);
    EXPECT_EQ(h.bus.openHandleCount(h.bus.pluggedDevices().front()), 0);
}

TEST(Connection, ABurstOfReportsIsLoggedInOrderAndTheNewestIsShown) {
    LocaleGuard guard{QLocale(QLocale::English)};
    MeterHarness h;
    const std::size_t before = h.logLines();
    constexpr int kReports = 40;
    for (int i = 0; i < kReports; ++i) {
        zr::protocol::ReportBuffer report{};
        report[1] = 0x37;
        const auto frequency = static_cast<std::uint16_t>(4500 + i);
        report[2] = static_cast<std::uint8_t>(frequency & 0xFF);
        report[3] = static_cast<std::uint8_t>(frequency >> 8);
        report[4] = 1;
        const float value = 80.0F + static_cast<float>(i);
        std::memcpy(&report[5], &value, 4);
        report[14] = static_cast<std::uint8_t>(i % 10);
        ASSERT_TRUE(h.meter.sendReport(report));
    }
    WAIT_UNTIL_EQ(h.logLines(), before + kReports, 5000);
    for (int i = 0; i < kReports; ++i) {
        const auto frequency = 4500 + i;
        EXPECT_TRUE(h.logLine(before + static_cast<std::size_t>(i))
                        .startsWith(QStringLiteral("55 %1 %2 01 ")
                                        .arg(frequency & 0xFF, 2, 10, QLatin1Char('0'))
                                        .arg(frequency >> 8, 2, 10, QLatin1Char('0'))))
            << i;
    }
    h.waitForDisplay();
    EXPECT_EQ(valueText(h), QStringLiteral("119"));
    EXPECT_EQ(h.statusPanel(3), QStringLiteral("Частота=4539 Данных=9"));
    EXPECT_EQ(h.session().state().status.frequency, 4539);
}

// Reports handled in one pass are painted once: the method caption on screen is still that of
// the last named method among them, and a row written between two of them takes the captions the
// screen shows at the next paint.
TEST(Connection, EveryReportOfABurstSetsTheCaptionsThatShowAndThatARowTakes) {
    LocaleGuard guard{QLocale(QLocale::English)};
    MeterHarness h;
    h.sendStatus(4500, 1, 90.0F, 0, 0, 0);
    ASSERT_EQ(h.window().results()->methodLabel()->text(),
              QStringLiteral("Исследовательский метод"));

    const struct {
        std::uint8_t method;
        const char* caption;
        const char* value;
    } burst[] = {{4, "AKI", "91.1"},
                 {0, "AKI", "91.2"},
                 {2, "Моторный метод", "91.3"},
                 {0, "Моторный метод", "91.4"},
                 {3, "Цетановое число", "91.5"},
                 {4, "AKI", "91.6"},
                 {0, "AKI", "91.7"}};
    constexpr int kReports = static_cast<int>(std::size(burst));
    // A row is written right after each report of the burst. Replies to the start-up's commands
    // refresh the display too, but leave the status and write no row.
    std::uint16_t rowFrequency = 0;
    QObject::connect(&h.session(), &zr::session::MeterSession::statusReport, &h.session(), [&] {
        if (h.session().state().status.frequency != rowFrequency) {
            rowFrequency = h.session().state().status.frequency;
            h.session().invokeHandler(QStringLiteral("runHeaderCommand"), 0);
        }
    });
    const zr::hid::HidDevice* meter = h.session().state().currentDevice;
    const std::uint64_t before = meter->reportsHandedOver();
    for (int i = 0; i < kReports; ++i) {
        zr::protocol::ReportBuffer report{};
        report[1] = 0x37;
        const auto frequency = static_cast<std::uint16_t>(4501 + i);
        report[2] = static_cast<std::uint8_t>(frequency & 0xFF);
        report[3] = static_cast<std::uint8_t>(frequency >> 8);
        report[4] = burst[i].method;
        const float value = 91.1F + 0.1F * static_cast<float>(i);
        std::memcpy(&report[5], &value, 4);
        ASSERT_TRUE(h.meter.sendReport(report));
    }
    // All read before the main thread handles any: one pass, one paint.
    ASSERT_TRUE(zr::test::holdsWithoutEvents(
        [&] { return meter->reportsHandedOver() >= before + kReports; }));
    const auto& model = h.session().measurementGrid();
    const auto cell = [&](int column, int row) {
        return model.data(model.index(row, column)).toString();
    };
    WAIT_UNTIL_EQ(model.rowCount(), kReports + 1, 5000);
    h.waitForDisplay();

    for (int i = 0; i < kReports; ++i) {
        EXPECT_EQ(cell(4, i), QString::fromUtf8(burst[i].caption)) << i;
        EXPECT_EQ(cell(5, i), QString::fromLatin1(burst[i].value)) << i;
    }
    EXPECT_EQ(h.window().results()->methodLabel()->text(), QStringLiteral("AKI"));
    EXPECT_EQ(valueText(h), QStringLiteral("91.7"));
}

TEST(Connection, AMeterThatCannotBeOpenedIsNamedAndTheUserIsToldWhyOncePerArrival) {
    zr::test::CLocaleMessages english;
    MeterHarness h(false);
    zr::hid::SimulatedDeviceInfo info = zr::sim::SimulatedMeter::deviceInfo();
    info.openableReadWrite = false;
    const auto id = h.bus.plug(info, nullptr);
    h.waitForMeter();
    EXPECT_EQ(h.statusPanel(0), QStringLiteral("ZR-6040 USB"));
    WAIT_UNTIL_EQ(h.messages.informed.size(), 1, 3000);
    EXPECT_TRUE(h.messages.informed.front().contains(QStringLiteral("Permission denied (D)")));
    EXPECT_TRUE(h.messages.informed.front().contains(QStringLiteral("udev")));

    const std::size_t before = h.logLines();
    h.find<QAction>("N21")->trigger();
    QStringList written;
    for (std::size_t i = before; i < h.logLines(); ++i) {
        written << h.logLine(i);
    }
    EXPECT_TRUE(written.join('\n').contains(QStringLiteral("WRITE ERROR: Permission denied (D)")))
        << written.join('\n').toStdString();

    // Another device arriving is no new arrival of the meter.
    zr::hid::SimulatedDeviceInfo mouse;
    mouse.vendorId = 0x046D;
    mouse.productId = 0xC077;
    mouse.caps.inputReportByteLength = 5;
    h.bus.plug(mouse, nullptr);
    WAIT_UNTIL_EQ(h.session().state().deviceList.size(), 2U, 3000);
    QCoreApplication::processEvents();
    EXPECT_EQ(h.messages.informed.size(), 1);

    h.bus.unplug(id);
    WAIT_UNTIL(h.session().state().currentDevice == nullptr, 3000);
    h.bus.plug(info, nullptr);
    h.waitForMeter();
    WAIT_UNTIL_EQ(h.messages.informed.size(), 2, 3000);
}
