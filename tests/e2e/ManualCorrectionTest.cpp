#include "CalibrationE2eSupport.h"
#include "app/ResultsBlock.h"
#include "calibration/views/ManualCorrectionDialog.h"
#include "calibration/views/UpDown.h"
#include "device/protocol/ByteOrder.h"
#include "device/protocol/MemoryMap.h"
#include "support/LocaleGuard.h"
#include "support/WaitUntil.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

using zr::test::LocaleGuard;
using zr::test::MeterHarness;

namespace {

// Opens TForm6 through its menu item, lets `use` work the open dialog, then closes it.
void withDialog(MeterHarness& h,
                const std::function<void(zr::calibration::ManualCorrectionDialog&)>& use) {
    auto* dialog = &h.program->dialogs().form6();
    bool ran = false;
    QTimer::singleShot(0, dialog, [&] {
        ran = dialog->isVisible();
        use(*dialog);
        QTest::mouseClick(dialog->closeButton(), Qt::LeftButton);
    });
    h.find<QAction>(QStringLiteral("N32"))->trigger();
    EXPECT_TRUE(ran) << "the dialog was shown modally";
    EXPECT_FALSE(dialog->isVisible());
}

void clickUp(zr::calibration::ManualCorrectionDialog& dialog, int times) {
    for (int i = 0; i < times; ++i) {
        QTest::mouseClick(dialog.upDown()->upButton(), Qt::LeftButton);
    }
}

float meterCorrection(MeterHarness& h, int method) {
    return h.meter.device().withModel(
        [method](const zr::sim::MeterModel& m) { return m.correction(method); });
}

// The meter's own correction for a method, as if set earlier (on the meter or by another run).
void setMeterCorrection(MeterHarness& h, int method, float value) {
    h.meter.device().withModel([&](zr::sim::MeterModel& m) {
        const auto bytes = zr::protocol::floatBytes(value);
        const int first = zr::protocol::memory::correctionAddress(method);
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            m.setMemoryByte(first + static_cast<int>(i), bytes[i]);
        }
    });
}

void chooseMethod(zr::calibration::ManualCorrectionDialog& dialog, Qt::Key key) {
    dialog.methodList()->setFocus();
    QTest::keyClick(dialog.methodList(), key);
}

} // namespace

TEST(ManualCorrectionE2e, ApplyWritesTheCorrectionThatTheMeterThenReports) {
    LocaleGuard comma{QLocale(QLocale::Russian)};
    MeterHarness h;
    h.meter.device().withModel([](zr::sim::MeterModel& m) { m.setMethod(1); });
    zr::test::meterStatus(h);
    // The list refresh armed by the first report passes first, so only the dialog sends.
    WAIT_UNTIL(!h.session().calibrationListTimer().isEnabled(), 5000);
    const std::size_t sentBefore = zr::test::commandsSent(h).size();

    QString shownAtFirst;
    withDialog(h, [&](zr::calibration::ManualCorrectionDialog& dialog) {
        shownAtFirst = dialog.edit()->text();
        EXPECT_EQ(dialog.methodList()->currentText(), QStringLiteral("RON"));
        clickUp(dialog, 15);
        EXPECT_EQ(dialog.edit()->text(), QStringLiteral("1,5"));
        QTest::mouseClick(dialog.applyButton(), Qt::LeftButton);
    });
    EXPECT_EQ(shownAtFirst, QStringLiteral("0"));
    const auto sent = zr::test::commandsSent(h);
    ASSERT_EQ(sent.size(), sentBefore + 5);
    const std::vector<std::vector<int>> expected = {
        {0, 0x66, 5, 0x00}, {0, 0x66, 6, 0x00}, {0, 0x66, 7, 0xC0}, {0, 0x66, 8, 0x3F}, {0, 0x63}};
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const auto& bytes = sent[sentBefore + i];
        EXPECT_EQ(std::vector<int>(bytes.begin(), bytes.begin() + expected[i].size()), expected[i]);
    }
    WAIT_UNTIL_EQ(
        h.meter.device().withModel([](const zr::sim::MeterModel& m) { return m.commitCount(); }), 1,
        3000);
    EXPECT_EQ(meterCorrection(h, 1), 1.5F);
    zr::test::meterStatus(h);
    EXPECT_EQ(h.window().results()->statusOctan()->panelText(1), QStringLiteral("Коррекция=1,5"));

    // Opened again, it shows what was applied.
    withDialog(h, [&](zr::calibration::ManualCorrectionDialog& dialog) {
        EXPECT_EQ(dialog.edit()->text(), QStringLiteral("1,5"));
        EXPECT_EQ(dialog.upDown()->position(), 15);
    });
}

TEST(ManualCorrectionE2e, ChoosingAnotherMethodSendsNothingAndTheMeterBringsItsOwnBack) {
    MeterHarness h;
    h.meter.device().withModel([](zr::sim::MeterModel& m) { m.setMethod(1); });
    zr::test::meterStatus(h);
    // Let the list refresh of the first report pass, so only the dialog could send.
    WAIT_UNTIL(!h.session().calibrationListTimer().isEnabled(), 5000);
    const std::size_t sentBefore = zr::test::commandsSent(h).size();

    withDialog(h, [&](zr::calibration::ManualCorrectionDialog& dialog) {
        dialog.methodList()->setFocus();
        QTest::keyClick(dialog.methodList(), Qt::Key_Down);
        EXPECT_EQ(dialog.methodList()->currentText(), QStringLiteral("MON"));
        EXPECT_EQ(h.session().state().status.method, 2);
    });
    EXPECT_EQ(zr::test::commandsSent(h).size(), sentBefore);
    zr::test::meterStatus(h);
    EXPECT_EQ(h.session().state().status.method, 1);
}

// The meter reports its own method again while the dialog shows "MON": Apply still writes the
// motor method's correction and leaves the research method's alone.
TEST(ManualCorrectionE2e, AStatusReportDoesNotMoveWhatApplyWrites) {
    MeterHarness h;
    h.meter.device().withModel([](zr::sim::MeterModel& m) { m.setMethod(1); });
    setMeterCorrection(h, 1, 0.7F);
    zr::test::meterStatus(h);
    WAIT_UNTIL(!h.session().calibrationListTimer().isEnabled(), 5000);
    const std::size_t sentBefore = zr::test::commandsSent(h).size();

    withDialog(h, [&](zr::calibration::ManualCorrectionDialog& dialog) {
        chooseMethod(dialog, Qt::Key_Down);
        QTest::mouseClick(dialog.upDown()->downButton(), Qt::LeftButton);
        zr::test::meterStatus(h);
        ASSERT_EQ(h.session().state().status.method, 1);
        EXPECT_EQ(dialog.methodList()->currentText(), QStringLiteral("MON"));
        EXPECT_EQ(dialog.edit()->text(), QStringLiteral("-0.1"));
        QTest::mouseClick(dialog.applyButton(), Qt::LeftButton);
    });
    WAIT_UNTIL_EQ(
        h.meter.device().withModel([](const zr::sim::MeterModel& m) { return m.commitCount(); }), 1,
        3000);
    const auto sent = zr::test::commandsSent(h);
    ASSERT_GE(sent.size(), sentBefore + 1);
    EXPECT_EQ(sent[sentBefore][2], 9) << "the first byte goes to the motor method's address";
    EXPECT_EQ(meterCorrection(h, 2), -0.1F);
    EXPECT_EQ(meterCorrection(h, 1), 0.7F);
}

// The dialog shows the correction the meter reports for its own method, and the last applied
// one for the others.
TEST(ManualCorrectionE2e, TheMetersOwnCorrectionIsShownForItsMethod) {
    MeterHarness h;
    h.meter.device().withModel([](zr::sim::MeterModel& m) { m.setMethod(2); });
    setMeterCorrection(h, 2, 1.2F);
    zr::test::meterStatus(h);

    withDialog(h, [&](zr::calibration::ManualCorrectionDialog& dialog) {
        EXPECT_EQ(dialog.methodList()->currentText(), QStringLiteral("MON"));
        EXPECT_EQ(dialog.edit()->text(), QStringLiteral("1.2"));
        EXPECT_EQ(dialog.upDown()->position(), 12);
        chooseMethod(dialog, Qt::Key_Up);
        EXPECT_EQ(dialog.methodList()->currentText(), QStringLiteral("RON"));
        EXPECT_EQ(dialog.edit()->text(), QStringLiteral("0"));
        EXPECT_EQ(dialog.upDown()->position(), 0);
        chooseMethod(dialog, Qt::Key_Down);
        EXPECT_EQ(dialog.edit()->text(), QStringLiteral("1.2"));
    });
}
