#include "calibration/CalibrationList.h"

#include "CalibrationTestSupport.h"
#include "common/Cp1251.h"
#include "common/HandlerRegistry.h"
#include "ui/StringGrid.h"

#include <gtest/gtest.h>

namespace zr::calibration {
namespace {

using test::kErase;
using test::kRequestEntry;
using test::kSelectMethod;
using test::kWriteByte;
using test::Sent;

class CalibrationListTest : public ::testing::Test, public test::CalibrationFixture {
protected:
    CalibrationListTest() {
        QObject::connect(&list.model(), &common::GridModel::redrawRequested, [this] { ++redraws; });
    }

    void setMethod(int method) { state.status.method = static_cast<std::uint8_t>(method); }

    void fillRow(int slot, int method, const std::string& name = "TEST      ") {
        list.receiveCalibrationSlot({slot, name, method, 1000, -5});
    }

    QStringList row(int r) const {
        QStringList cells;
        for (int c = 0; c < 4; ++c) {
            cells << grid.cell(c, r);
        }
        return cells;
    }
    static QStringList emptyRow() { return {QString(), QString(), QString(), QString()}; }

    int libraryOpened = 0;
    QStringList rowsWhileLibraryOpen;
    CalibrationList list{context(), calibrations, calibrationListTimer, [this] {
                             ++libraryOpened;
                             rowsWhileLibraryOpen = row(2);
                         }};
    // The list's rows as its grid shows them, and its repaints.
    ui::StringGrid grid{list.model()};
    int redraws = 0;
};

TEST_F(CalibrationListTest, RefreshAsksForTheFourSlotsOfTheCurrentMethodAfterEmptyingTheirRows) {
    setMethod(2);
    for (int slot = 1; slot <= 4; ++slot) {
        fillRow(slot, 2);
    }
    grid.setCell(1, 5, QStringLiteral("typed"));
    list.requestCalibrationEntries();

    EXPECT_EQ(calibrations.lastSlot(), 0);
    for (int r = 1; r <= 4; ++r) {
        EXPECT_EQ(row(r), emptyRow()) << r;
    }
    EXPECT_EQ(grid.cell(1, 5), QStringLiteral("typed")) << "only the four slot rows are emptied";
    ASSERT_EQ(port.writes.size(), 4U);
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(port.writes[i][1], kRequestEntry);
        EXPECT_EQ(port.writes[i][2], i + 1);
        EXPECT_EQ(port.writes[i][13], 2);
    }
    // The tables are replaced only by replies.
    EXPECT_EQ(calibrations.tables().at(2, 3).slot, 3);
}

TEST_F(CalibrationListTest, RefreshDoesNothingWithoutAKnownMethod) {
    setMethod(1);
    list.requestCalibrationEntries();
    fillRow(3, 1);
    port.writes.clear();
    for (int method : {0, 5, 255}) {
        setMethod(method);
        grid.setCell(1, 3, QStringLiteral("kept"));
        list.requestCalibrationEntries();
        EXPECT_TRUE(port.writes.empty()) << method;
        EXPECT_EQ(calibrations.lastSlot(), 3);
        EXPECT_EQ(grid.cell(1, 3), QStringLiteral("kept"));
    }
    setMethod(4);
    list.requestCalibrationEntries();
    EXPECT_EQ(port.writes.size(), 4U) << "method 4 is read like the others";
}

TEST_F(CalibrationListTest, RefreshWithoutMeterStillEmptiesTheRows) {
    setMethod(1);
    fillRow(1, 1);
    port.isConnected = false;
    list.requestCalibrationEntries();
    EXPECT_EQ(notConnected, 4);
    EXPECT_EQ(row(1), emptyRow());
}

TEST_F(CalibrationListTest, AReplyFillsItsRowTheTablesAndLastSlot) {
    setMethod(1);
    list.requestCalibrationEntries();
    const std::string name = common::toCp1251String(QStringLiteral("АИ-95 лаб ")).substr(0, 10);
    list.receiveCalibrationSlot({2, name, 1, -1234, 32767});
    EXPECT_EQ(row(2), (QStringList{"2", QStringLiteral("АИ-95 лаб "), "-1234", "32767"}));
    EXPECT_EQ(calibrations.lastSlot(), 2);
    EXPECT_EQ(calibrations.tables().at(1, 2),
              (protocol::CalibrationSlot{2, name, 1, -1234, 32767}));

    // Out-of-range slots change nothing at all.
    for (int slot : {0, 5, 255}) {
        list.receiveCalibrationSlot({slot, "OTHER     ", 1, 1, 1});
        EXPECT_EQ(calibrations.lastSlot(), 2) << slot;
        EXPECT_EQ(row(2)[1], QStringLiteral("АИ-95 лаб ")) << slot;
    }
    for (int r = 1; r <= 8; ++r) {
        if (r != 2) {
            EXPECT_EQ(row(r), emptyRow()) << r;
        }
    }
}

// A reply of another method answers no read of the current one: its row shows it, but it takes
// no slot of the current method.
TEST_F(CalibrationListTest, AReplyForAnotherMethodShowsButOnlyMethodsOneToThreeAreKept) {
    setMethod(1);
    list.requestCalibrationEntries();
    list.receiveCalibrationSlot({3, "AKI-TABLE ", 4, 10, 20});
    EXPECT_EQ(row(3), (QStringList{"3", "AKI-TABLE ", "10", "20"}));
    for (int method = 1; method <= 3; ++method) {
        EXPECT_EQ(calibrations.tables().at(method, 3).slot, 0) << method;
    }

    list.receiveCalibrationSlot({1, "MOTOR     ", 2, 7, 8});
    EXPECT_EQ(row(1)[1], "MOTOR     ");
    EXPECT_EQ(calibrations.tables().at(2, 1).name, "MOTOR     ");
    EXPECT_EQ(calibrations.tables().at(1, 1).slot, 0);
    EXPECT_EQ(calibrations.lastSlot(), 0);
    EXPECT_FALSE(calibrations.listRead(1, state.meterAttachment));
}

TEST_F(CalibrationListTest, DeleteAllAsksThenErasesCancelsAndReadsTheListAgain) {
    setMethod(2);
    messages.answer = false;
    list.deleteAllCalibrations();
    EXPECT_EQ(messages.questions,
              QStringList{
                  QStringLiteral("Удалить все калибровки на данный метод измерения с прибора ?")});
    EXPECT_TRUE(port.writes.empty());
    EXPECT_FALSE(calibrationListTimer.isEnabled());

    messages.answer = true;
    list.deleteAllCalibrations();
    EXPECT_EQ(sent(), (std::vector<Sent>{
                          {kErase, 0x60, 0x00}, {kWriteByte, 2, 255}, {kSelectMethod, 2, 0}}));
    EXPECT_TRUE(calibrationListTimer.isEnabled());
    EXPECT_EQ(state.status.method, 2);
}

// The meter moves to the motor method while the question is open.
class MethodSwitchingMessages : public test::FakeMessageService {
public:
    explicit MethodSwitchingMessages(connection::SharedState& state) : state_(state) {}
    bool confirm(const QString& text) override {
        state_.status.method = 2;
        return FakeMessageService::confirm(text);
    }

private:
    connection::SharedState& state_;
};

TEST_F(CalibrationListTest, DeleteAllSendsNothingWhenTheMeterLeftTheMethodItAskedAbout) {
    setMethod(1);
    MethodSwitchingMessages switching(state);
    CalibrationList asking{{state, commands, switching}, calibrations, calibrationListTimer, {}};
    asking.deleteAllCalibrations();
    EXPECT_EQ(switching.questions.size(), 1);
    EXPECT_TRUE(port.writes.empty());
    EXPECT_EQ(switching.informed,
              QStringList{QStringLiteral(
                  "Прибор перешёл на другой метод измерения, калибровки не удалены !")});
    EXPECT_FALSE(calibrationListTimer.isEnabled());
}

TEST_F(CalibrationListTest, DeleteAllTakesTheOffsetOfAnyMethodInSixteenBits) {
    const std::pair<int, Sent> cases[] = {
        {1, {kErase, 0x00, 0x00}},
        {3, {kErase, 0xC0, 0x00}},
        {4, {kErase, 0x20, 0x01}},
    };
    for (const auto& [method, erase] : cases) {
        port.writes.clear();
        setMethod(method);
        list.deleteAllCalibrations();
        EXPECT_EQ(sent(),
                  (std::vector<Sent>{erase,
                                     {kWriteByte, static_cast<std::uint8_t>(method), 255},
                                     {kSelectMethod, static_cast<std::uint8_t>(method), 0}}))
            << method;
    }
}

TEST_F(CalibrationListTest, DeleteAllWithTheMeterPulledOutHalfWayStillArmsTheRefresh) {
    setMethod(1);
    port.disconnectAfterWrites = 1;
    list.deleteAllCalibrations();
    EXPECT_EQ(sent(), (std::vector<Sent>{{kErase, 0, 0}}));
    EXPECT_EQ(notConnected, 2);
    EXPECT_TRUE(calibrationListTimer.isEnabled());

    // The next refresh with the meter back asks again; nothing is shown until it answers.
    port.isConnected = true;
    port.disconnectAfterWrites = 0;
    list.requestCalibrationEntries();
    EXPECT_EQ(port.writes.size(), 5U);
    for (int r = 1; r <= 4; ++r) {
        EXPECT_EQ(row(r), emptyRow());
    }
}

TEST_F(CalibrationListTest, MakeCurrentSendsOnlyForASlotTheMeterHasReported) {
    setMethod(1);
    fillRow(1, 1);
    fillRow(2, 1);

    // No selection, row 6 and a row never received send nothing, and only repaint.
    for (int selected : {0, 6, 3}) {
        grid.setCurrentGridRow(selected);
        ASSERT_EQ(grid.currentGridRow(), selected);
        const int before = redraws;
        list.applySelectedCalibration();
        EXPECT_TRUE(port.writes.empty()) << selected;
        EXPECT_EQ(redraws, before + 1) << selected;
    }

    grid.setCurrentGridRow(2);
    list.applySelectedCalibration();
    EXPECT_EQ(sent(), (std::vector<Sent>{{kWriteByte, 1, 2}}));

    // Emptied by a refresh but received before: the tables still know the slot.
    port.writes.clear();
    list.requestCalibrationEntries();
    port.writes.clear();
    grid.setCurrentGridRow(1);
    list.applySelectedCalibration();
    EXPECT_EQ(sent(), (std::vector<Sent>{{kWriteByte, 1, 1}}));
}

TEST_F(CalibrationListTest, MakeCurrentLooksOnlyAtTheTableOfTheCurrentMethod) {
    setMethod(2);
    fillRow(2, 1); // shown in row 2, but kept for method 1
    grid.setCurrentGridRow(2);
    list.applySelectedCalibration();
    EXPECT_TRUE(port.writes.empty());

    setMethod(4);
    fillRow(2, 4);
    list.applySelectedCalibration();
    EXPECT_TRUE(port.writes.empty()) << "method 4 has no calibrations to put in force";
}

TEST_F(CalibrationListTest, CancelVariantsForMethodsOneToThreeAndForMethodFour) {
    setMethod(3);
    list.cancelCalibrationInForce();
    EXPECT_EQ(redraws, 1);
    list.cancelCalibrationInForceUnchecked();
    EXPECT_EQ(redraws, 1) << "the context-menu variant does not repaint";
    EXPECT_EQ(sent(), (std::vector<Sent>{{kWriteByte, 3, 255}, {kWriteByte, 3, 255}}));

    port.writes.clear();
    setMethod(4);
    list.cancelCalibrationInForce();
    EXPECT_TRUE(port.writes.empty());
    EXPECT_EQ(redraws, 2);
    list.cancelCalibrationInForceUnchecked();
    EXPECT_EQ(sent(), (std::vector<Sent>{{kWriteByte, 4, 255}}));
    EXPECT_EQ(redraws, 2);
}

TEST_F(CalibrationListTest, TheLibraryWindowClosingEmptiesTheSlotRowsAndArmsTheRefresh) {
    setMethod(1);
    fillRow(2, 1);
    grid.setCell(1, 6, QStringLiteral("typed"));
    list.addCalibrationFromLibrary();
    EXPECT_EQ(libraryOpened, 1);
    EXPECT_EQ(rowsWhileLibraryOpen[1], "TEST      ") << "rows are emptied after it closed";
    for (int r = 1; r <= 4; ++r) {
        EXPECT_EQ(row(r), emptyRow());
    }
    EXPECT_EQ(grid.cell(1, 6), QStringLiteral("typed"));
    EXPECT_TRUE(calibrationListTimer.isEnabled());
    EXPECT_TRUE(port.writes.empty());
    EXPECT_EQ(calibrations.tables().at(1, 2).slot, 2);
}

} // namespace
} // namespace zr::calibration
