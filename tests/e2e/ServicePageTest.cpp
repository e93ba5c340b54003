#include "app/ServicePage.h"
#include "support/CLocaleMessages.h"
#include "support/MeterHarness.h"
#include "support/WaitUntil.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <cerrno>
#include <gtest/gtest.h>

using zr::test::MeterHarness;

namespace {

// Types an address into Edit2, presses Button2 and returns the line it logged (or "" if none).
QString readByteLine(MeterHarness& h, const QString& typed) {
    auto* page = h.window().servicePage();
    page->addressEdit()->setText(typed);
    const std::size_t before = h.logLines();
    page->readByteButton()->click();
    return h.logLines() > before ? h.logLine(before) : QString();
}

} // namespace

TEST(ServicePage, TheAddressAcceptsTheIntegerFormsAndTakesTheLowByte) {
    MeterHarness h;
    EXPECT_EQ(h.window().servicePage()->addressEdit()->text(), QStringLiteral("0"));
    const std::pair<const char*, const char*> cases[] = {
        {"0", "00 65 00 01 "},   {"300", "00 65 2C 01 "},    {"-1", "00 65 FF 01 "},
        {"$FF", "00 65 FF 01 "}, {"  0x10", "00 65 10 01 "}, {"+7", "00 65 07 01 "}};
    for (const auto& [typed, bytes] : cases) {
        const QString line = readByteLine(h, QString::fromLatin1(typed));
        EXPECT_TRUE(line.startsWith(QStringLiteral("WR 41  ") + QString::fromLatin1(bytes)))
            << typed << " -> " << line.toStdString();
    }
    EXPECT_TRUE(h.messages.errors.isEmpty());
}

TEST(ServicePage, TextThatIsNoIntegerGivesTheMessageAndSendsNothing) {
    MeterHarness h;
    for (const char* typed : {"abc", "", "12a", "99999999999"}) {
        EXPECT_EQ(readByteLine(h, QString::fromLatin1(typed)), QString()) << typed;
        EXPECT_EQ(h.messages.errors.back(),
                  QStringLiteral("'%1' is not a valid integer value.").arg(typed));
    }
}

TEST(ServicePage, TheMetersByteValueReplyFillsTheByteValueField) {
    MeterHarness h;
    h.meter.device().withModel([](zr::sim::MeterModel& m) { m.setMemoryByte(3, 2); });
    readByteLine(h, QStringLiteral("3"));
    WAIT_UNTIL_EQ(h.window().servicePage()->byteValueEdit()->text(), QStringLiteral("2"), 2000);
    // A reply without the flag leaves Edit1 as it is.
    h.sendReport({0, 0x65, 9, 0});
    EXPECT_EQ(h.window().servicePage()->byteValueEdit()->text(), QStringLiteral("2"));
}

TEST(ServicePage, ReadingStoredValuesAndWritingTheTestCalibrationSendTheirCommands) {
    MeterHarness h;
    h.window().servicePage()->readStoredValuesButton()->click();
    EXPECT_TRUE(h.lastLogLine().startsWith("WR 41  00 67 9B 00 "));
    EXPECT_EQ(h.lastLogLine().size(), QString("WR 41  ").size() + 65 * 3);
    h.window().servicePage()->writeTestCalibrationButton()->click();
    // Slot 1, "2222" padded to ten bytes, method 1, K1 1000 (E8 03), K2 0.
    EXPECT_TRUE(h.lastLogLine().startsWith(
        "WR 41  00 3C 01 32 32 32 32 20 20 20 20 20 20 01 E8 03 00 00 00 "));
}

TEST(ServicePage, WithoutAMeterOnlyTheStatusPanelChanges) {
    MeterHarness h(false);
    const std::size_t lines = h.logLines();
    h.window().servicePage()->writeTestCalibrationButton()->click();
    EXPECT_EQ(h.statusPanel(0), QStringLiteral("Прибор не подключен !"));
    EXPECT_EQ(h.logLines(), lines);
}

TEST(ServicePage, TheLogHoldsEveryReportSinceStartEvenWhileHidden) {
    MeterHarness h;
    ASSERT_FALSE(h.window().pageTabs()->isTabVisible(1));
    h.sendStatus(4500, 1, 92.0F, 0, 0, 0);
    h.window().servicePage()->readStoredValuesButton()->click();
    EXPECT_GE(h.logLines(), 2U);
    EXPECT_TRUE(h.logLine(h.logLines() - 2).startsWith("55 148 17 "));
    EXPECT_TRUE(h.lastLogLine().startsWith("WR "));
}

TEST(ServicePage, AFailedWriteLeavesTheFourErrorLinesAndNothingElse) {
    const zr::test::CLocaleMessages english;
    MeterHarness h;
    ASSERT_EQ(h.bus.pluggedDevices().size(), 1U);
    h.bus.setWriteError(h.bus.pluggedDevices().front(), EIO);
    const std::size_t before = h.logLines();
    h.window().servicePage()->readStoredValuesButton()->click();
    ASSERT_EQ(h.logLines(), before + 4);
    EXPECT_EQ(h.logLine(before), QStringLiteral("---------error--------------"));
    EXPECT_EQ(h.logLine(before + 1), QStringLiteral("0 = WRITE ERROR: Input/output error (5)"));
    EXPECT_EQ(h.logLine(before + 2), QStringLiteral("WR 00  "));
    EXPECT_EQ(h.logLine(before + 3), QStringLiteral("---------    --------------"));
    EXPECT_TRUE(h.messages.errors.isEmpty());
    EXPECT_EQ(h.statusPanel(0), QStringLiteral("ZR-6040 USB"));
}
