#include "common/NumberFormat.h"
#include "device/protocol/MemoryMap.h"
#include "sim/MeterDevice.h"
#include "support/MeterHarness.h"
#include "ui/StringGrid.h"

#include <QAbstractButton>
#include <QApplication>
#include <QHeaderView>
#include <QSignalSpy>
#include <QTimer>
#include <gtest/gtest.h>

using zr::test::MeterHarness;
using zr::test::ProgramHarness;

namespace {

namespace memory = zr::protocol::memory;

zr::ui::StringGrid* storedGrid(ProgramHarness& h) {
    return h.find<zr::ui::StringGrid>(QStringLiteral("StringGrid2"));
}
zr::ui::StringGrid* tableGrid(ProgramHarness& h) {
    return h.find<zr::ui::StringGrid>(QStringLiteral("StringGrid3"));
}
void click(ProgramHarness& h, const char* button) {
    auto* b = h.find<QAbstractButton>(QString::fromLatin1(button));
    ASSERT_NE(b, nullptr) << button;
    b->click();
}
int errorBlocks(MeterHarness& h, std::size_t from) {
    int n = 0;
    for (std::size_t i = from; i < h.logLines(); ++i) {
        n += h.logLine(i) == QStringLiteral("---------error--------------");
    }
    return n;
}

// The simulator's status report as the program received it.
void meterStatus(MeterHarness& h) {
    const std::size_t before = h.logLines();
    ASSERT_TRUE(h.meter.sendStatusReport());
    WAIT_UNTIL(h.logLines() > before, 3000);
}

TEST(StoredValues, StoreFetchCopyAndEraseThroughTheSimulator) {
    MeterHarness h;
    h.meter.device().withModel([](zr::sim::MeterModel& m) {
        m.setMemoryByte(memory::kStoredCountAddress, memory::kNone);
    });
    QStringList expected;
    for (double octane : {92.3, 95.1, 80.4}) {
        h.meter.setTrueOctane(octane);
        meterStatus(h); // brings the count that picks the slot
        expected << zr::common::formatGeneral(
            static_cast<double>(h.session().state().status.measuredValue));
        click(h, "ToolButton1");
        EXPECT_TRUE(h.session().storedValuesTimer().isEnabled());
    }
    meterStatus(h);
    EXPECT_EQ(h.session().state().status.dataCount, 3);

    click(h, "ToolButton3");
    auto* grid = storedGrid(h);
    WAIT_UNTIL_EQ(grid->cell(0, 3), QStringLiteral("3"), 3000);
    for (int r = 1; r <= 3; ++r) {
        EXPECT_EQ(grid->cell(0, r), QString::number(r));
        EXPECT_EQ(grid->cell(1, r), QStringLiteral("Исследовательский метод"));
        EXPECT_EQ(grid->cell(2, r), expected.at(r - 1));
        EXPECT_EQ(grid->cell(3, r), QStringLiteral("0"));
    }
    EXPECT_EQ(grid->cell(0, 4), QString());

    click(h, "ToolButton4");
    auto* table = tableGrid(h);
    ASSERT_EQ(table->rowCountWithHeader(), 5);
    for (int r = 1; r <= 3; ++r) {
        EXPECT_EQ(table->cell(0, r), QString::number(r)); // consecutive from the item "1"
        EXPECT_EQ(table->cell(4, r), QStringLiteral("Исследовательский метод"));
        EXPECT_EQ(table->cell(5, r), expected.at(r - 1));
        EXPECT_FALSE(table->cell(6, r).trimmed().isEmpty());
    }

    h.messages.answer = true;
    click(h, "ToolButton2");
    EXPECT_EQ(h.messages.questions.back(),
              QStringLiteral("Удалить все сохраненные значения с прибора ?"));
    for (int a = memory::kStoredCountAddress; a <= memory::kLastStoredValuesAddress; ++a) {
        ASSERT_EQ(h.meter.memoryByte(a), 255) << a;
    }
    EXPECT_EQ(grid->cell(0, 1), QString());
    EXPECT_EQ(h.statusPanel(0), QString());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_FALSE(h.session().storedValuesTimer().isEnabled());

    // The erased meter reports 255: its pages are dropped and the grid stays empty.
    meterStatus(h);
    click(h, "ToolButton3");
    const std::size_t before = h.logLines();
    WAIT_UNTIL(h.logLines() >= before + 2, 3000);
    EXPECT_EQ(grid->cell(0, 1), QString());
}

TEST(StoredValues, WithoutAMeterNothingIsSentBeforeTheTimerAndThenTheFetchIsRefused) {
    ProgramHarness h;
    auto& window = h.window();
    QSignalSpy expiries(&h.session().storedValuesTimer(), &zr::common::OneShotTimer::expired);
    const QString refused = QStringLiteral("Прибор не подключен !");
    // Checked after every event: the refusal never shows before the timer expired.
    bool early = false;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (window.status()->panelText(0) == refused && expiries.isEmpty()) {
            early = true;
        }
    });
    watch.start(0);
    EXPECT_EQ(window.status()->panelText(0), QString());
    WAIT_UNTIL_EQ(window.status()->panelText(0), refused, 5000);
    EXPECT_FALSE(early);
    EXPECT_EQ(expiries.count(), 1);
    EXPECT_FALSE(h.session().storedValuesTimer().isEnabled());
}

TEST(StoredValues, TheGridShowsItsColumnWidthsFromTheFirstPaint) {
    ProgramHarness h;
    h.window().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&h.window()));
    auto* grid = storedGrid(h);
    EXPECT_EQ(grid->columnWidth(0), 40);
    EXPECT_EQ(grid->columnWidth(1), 100);
    EXPECT_EQ(grid->columnWidth(2), 60);
    EXPECT_EQ(grid->columnWidth(3), 60);
    EXPECT_EQ(grid->horizontalHeader()->sectionResizeMode(1), QHeaderView::Fixed);
    EXPECT_EQ(grid->selectionMode(), QAbstractItemView::ContiguousSelection);
    EXPECT_EQ(grid->cell(0, 0), QStringLiteral("№"));
    EXPECT_EQ(grid->cell(2, 0), QStringLiteral("Значение"));
}

// The meter of the simulator, pulled out of the bus after a given number of commands, from
// inside the write of the last one (as a cable pulled during a burst of writes).
class PulledMeter : public zr::hid::SimulatedDeviceModel {
public:
    explicit PulledMeter(zr::hid::SimulatedHidBus& bus) : bus_(bus) {}
    void attached(std::shared_ptr<zr::hid::SimulatedInputPort> port) override {
        id_ = port->id();
        meter_.attached(std::move(port));
    }
    void onOutputReport(const std::uint8_t* data, std::size_t length) override {
        meter_.onOutputReport(data, length);
        if (++writes_ == pullAfter) {
            bus_.unplug(id_);
        }
    }
    void detached() override { meter_.detached(); }

    zr::sim::MeterDevice meter_;
    int pullAfter = -1;
    int writes_ = 0;

private:
    zr::hid::SimulatedHidBus& bus_;
    zr::hid::SimulatedDeviceId id_ = 0;
};

class PulledMeterHarness : public MeterHarness {
public:
    PulledMeterHarness() : MeterHarness(false), pulled(std::make_shared<PulledMeter>(bus)) {
        bus.plug(zr::sim::SimulatedMeter::deviceInfo(), pulled);
        waitForMeter();
    }
    std::shared_ptr<PulledMeter> pulled;
};

TEST(StoredValues, AMeterPulledOutDuringTheErasureLogsTheRestAsWriteErrors) {
    PulledMeterHarness h;
    h.pulled->pullAfter = h.pulled->writes_ + 40;
    const std::size_t before = h.logLines();
    click(h, "ToolButton2");
    // The removal waits until the handler has returned.
    EXPECT_NE(h.session().state().currentDevice, nullptr);
    EXPECT_EQ(errorBlocks(h, before), 62);
    EXPECT_EQ(h.statusPanel(0), QString());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    WAIT_UNTIL(h.session().state().currentDevice == nullptr, 3000);
    EXPECT_EQ(h.pulled->meter_.withModel(
                  [](const zr::sim::MeterModel& m) { return m.memoryByte(154 + 39); }),
              255);
}

TEST(StoredValues, AMeterPulledOutDuringAStoreLogsTheRestAsWriteErrors) {
    PulledMeterHarness h;
    h.pulled->pullAfter = h.pulled->writes_ + 5;
    const std::size_t before = h.logLines();
    click(h, "ToolButton1");
    EXPECT_EQ(errorBlocks(h, before), 6);
    EXPECT_TRUE(h.session().storedValuesTimer().isEnabled());
    WAIT_UNTIL(h.session().state().currentDevice == nullptr, 3000);
    EXPECT_EQ(h.statusPanel(0), QString());
}

} // namespace
