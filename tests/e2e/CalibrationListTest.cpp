#include "CalibrationE2eSupport.h"
#include "app/ResultsBlock.h"
#include "calibration/views/CalibrationLibraryWindow.h"
#include "support/WaitUntil.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <gtest/gtest.h>

using zr::test::entryRequests;
using zr::test::MeterHarness;

namespace {

using Requests = std::vector<std::pair<int, int>>;

Requests fourRequests(int method) {
    return {{1, method}, {2, method}, {3, method}, {4, method}};
}

QString octanPanel(MeterHarness& h, int i) {
    return h.window().results()->statusPanels()->panelText(i);
}

void storeCalibrations(MeterHarness& h) {
    h.meter.device().withModel([](zr::sim::MeterModel& m) {
        m.setMethod(1);
        m.storeCalibration({1, "AI-92", 1, 1000, 0});
        m.storeCalibration({2, "AI-95", 1, 1010, -5});
        m.storeCalibration({1, "MOTOR", 2, 990, 3});
    });
}

// The window shown with the three stored calibrations listed.
void showListedCalibrations(MeterHarness& h) {
    h.window().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&h.window()));
    storeCalibrations(h);
    zr::test::meterStatus(h);
    WAIT_UNTIL_EQ(zr::test::calibrationGrid(h)->cell(1, 2), QStringLiteral("AI-95     "), 5000);
    WAIT_UNTIL_EQ(zr::test::entryReplies(h), 4U, 3000);
}

} // namespace

TEST(CalibrationListE2e, AtStartTheListWaitsForTheFirstStatusReportToKnowTheMethod) {
    MeterHarness h;
    // The start-up round passes with no method known: nothing is asked.
    WAIT_UNTIL(!h.session().calibrationListTimer().isEnabled(), 5000);
    EXPECT_TRUE(entryRequests(h).empty());

    // The first status report arms another round; the requests go out when it runs out.
    std::vector<Requests> sentByExpiry;
    QObject::connect(&h.session().calibrationListTimer(), &zr::common::OneShotTimer::expired,
                     [&] { sentByExpiry.push_back(entryRequests(h)); });
    h.sendStatus(4500, 2, 90.0F, 0, 0, 0);
    WAIT_UNTIL_EQ(sentByExpiry.size(), 1U, 5000);
    EXPECT_EQ(sentByExpiry[0], fourRequests(2));
    EXPECT_EQ(entryRequests(h), fourRequests(2));
    EXPECT_FALSE(h.session().calibrationListTimer().isEnabled());
}

TEST(CalibrationListE2e, AStatusReportDuringTheStartUpRoundLeadsToOneRound) {
    MeterHarness h;
    h.sendStatus(4500, 1, 90.0F, 0, 0, 0);
    WAIT_UNTIL_EQ(entryRequests(h), fourRequests(1), 5000);
    // One round only: nothing is left armed that could ask again.
    EXPECT_FALSE(h.session().calibrationListTimer().isEnabled());
}

TEST(CalibrationListE2e, AMeterPluggedInLaterIsReadOnceItsMethodIsKnown) {
    MeterHarness h(false);
    WAIT_UNTIL(!h.session().calibrationListTimer().isEnabled(), 5000);
    h.meter.plug();
    h.waitForMeter();
    // The arrival's round finds no method yet.
    WAIT_UNTIL(!h.session().calibrationListTimer().isEnabled(), 5000);
    EXPECT_TRUE(entryRequests(h).empty());
    h.sendStatus(4500, 3, 50.0F, 0, 0, 0);
    WAIT_UNTIL_EQ(entryRequests(h), fourRequests(3), 5000);

    // Plugged in again with the method known: the arrival alone arms the next round.
    WAIT_UNTIL(!h.session().calibrationListTimer().isEnabled(), 5000);
    h.meter.unplug();
    WAIT_UNTIL(h.session().state().currentDevice == nullptr, 3000);
    EXPECT_FALSE(h.session().calibrationListTimer().isEnabled());
    h.meter.plug();
    h.waitForMeter();
    Requests both = fourRequests(3);
    for (const auto& r : fourRequests(3)) {
        both.push_back(r);
    }
    WAIT_UNTIL_EQ(entryRequests(h), both, 5000);
}

TEST(CalibrationListE2e, PutInForceMarkTheRowAfterTheNextStatusReportCancelAndDeleteAll) {
    MeterHarness h;
    ASSERT_NO_FATAL_FAILURE(showListedCalibrations(h));
    auto* grid = zr::test::calibrationGrid(h);
    EXPECT_EQ(grid->cell(0, 1), QStringLiteral("1"));
    EXPECT_EQ(grid->cell(2, 2), QStringLiteral("1010"));
    EXPECT_EQ(grid->cell(3, 2), QStringLiteral("-5"));
    EXPECT_EQ(grid->cell(1, 3), QString()) << "an empty slot shows nothing";
    EXPECT_EQ(h.session().meterCalibrations().lastSlot(), 2);
    EXPECT_TRUE(zr::test::redRows(h).empty());

    grid->setCurrentGridRow(2);
    zr::test::click(h, "ToolButton9");
    WAIT_UNTIL_EQ(h.meter.memoryByte(1), 2, 3000);
    EXPECT_TRUE(zr::test::redRows(h).empty()) << "the mark waits for the meter";
    zr::test::meterStatus(h);
    EXPECT_EQ(zr::test::redRows(h), std::vector<int>{2});
    EXPECT_EQ(octanPanel(h, 2), QStringLiteral("Таблица=2"));
    EXPECT_EQ(h.window().results()->calibrationLabel()->text(), QStringLiteral("AI-95     "));

    zr::test::click(h, "ToolButton14");
    WAIT_UNTIL_EQ(h.meter.memoryByte(1), 255, 3000);
    zr::test::meterStatus(h);
    EXPECT_TRUE(zr::test::redRows(h).empty());
    EXPECT_EQ(octanPanel(h, 2), QStringLiteral("Таблица=0"));

    const std::size_t requestsBefore = entryRequests(h).size();
    const std::size_t repliesBefore = zr::test::entryReplies(h);
    zr::test::click(h, "ToolButton7");
    EXPECT_EQ(h.messages.questions.size(), 1);
    WAIT_UNTIL(!h.meter.device().withModel(
                   [](const zr::sim::MeterModel& m) { return m.calibration(1, 2).has_value(); }),
               3000);
    // The other method's calibrations stay.
    EXPECT_TRUE(h.meter.device().withModel(
        [](const zr::sim::MeterModel& m) { return m.calibration(2, 1).has_value(); }));
    WAIT_UNTIL_EQ(entryRequests(h).size(), requestsBefore + 4, 5000);
    WAIT_UNTIL_EQ(zr::test::entryReplies(h), repliesBefore + 4, 3000);
    for (int r = 1; r <= 4; ++r) {
        EXPECT_EQ(grid->cell(1, r), QString()) << r;
    }
    EXPECT_EQ(h.session().meterCalibrations().lastSlot(), 0);
}

TEST(CalibrationListE2e, ClosingTheLibraryWindowEmptiesTheRowsAndReadsTheListAgain) {
    MeterHarness h;
    storeCalibrations(h);
    zr::test::meterStatus(h);
    auto* grid = zr::test::calibrationGrid(h);
    WAIT_UNTIL_EQ(grid->cell(1, 1), QStringLiteral("AI-92     "), 5000);

    auto* library = &h.program->dialogs().libraryWindow();
    bool wasOpen = false;
    QTimer::singleShot(0, library, [&] {
        wasOpen = library->isVisible();
        library->reject();
    });
    h.find<QAction>(QStringLiteral("N33"))->trigger();
    EXPECT_TRUE(wasOpen);
    EXPECT_EQ(grid->cell(1, 1), QString());
    EXPECT_EQ(grid->cell(0, 2), QString());
    EXPECT_TRUE(h.session().calibrationListTimer().isEnabled());
    WAIT_UNTIL_EQ(grid->cell(1, 1), QStringLiteral("AI-92     "), 5000);
    WAIT_UNTIL_EQ(grid->cell(1, 2), QStringLiteral("AI-95     "), 5000);
}

TEST(CalibrationListE2e, TypingIntoTheGridChangesNeitherTheTablesNorTheMeter) {
    MeterHarness h;
    ASSERT_NO_FATAL_FAILURE(showListedCalibrations(h));
    auto* grid = zr::test::calibrationGrid(h);
    const std::size_t sentBefore = zr::test::commandsSent(h).size();

    grid->setCurrentIndex(grid->model()->index(1, 1));
    QTest::keyClick(grid, Qt::Key_X);
    auto* editor = grid->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    QTest::keyClick(editor, Qt::Key_Return);
    WAIT_UNTIL_EQ(grid->cell(1, 2), QStringLiteral("x"), 3000);
    EXPECT_EQ(h.session().meterCalibrations().tables().at(1, 2).name, "AI-95     ");
    EXPECT_EQ(zr::test::commandsSent(h).size(), sentBefore);

    zr::test::click(h, "ToolButton9");
    WAIT_UNTIL_EQ(h.meter.memoryByte(1), 2, 3000);
}
