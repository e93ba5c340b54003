#include "RecordsFixture.h"

#include "common/AppError.h"
#include "device/protocol/ByteOrder.h"
#include "support/LocaleGuard.h"

#include <QSignalSpy>

namespace zr::records::test {
namespace {

using zr::test::LocaleGuard;

protocol::StoredValueRecord record(int number, int method, float value, float second = 0) {
    return {static_cast<std::uint8_t>(number), static_cast<std::uint8_t>(method), value, second};
}

// A page as the meter sends it from the given first record on: records n … n+4.
protocol::StoredValuesPage page(int first) {
    protocol::StoredValuesPage p;
    for (int k = 0; k < 5; ++k) {
        p.records[static_cast<std::size_t>(k)] = record(first + k, 1, 90.0F + float(first + k));
    }
    return p;
}

class StoredValuesTest : public RecordsFixture {
protected:
    void setCount(int count) { state.status.dataCount = static_cast<std::uint8_t>(count); }
    QStringList column(int c) const {
        QStringList out;
        for (int r = 1; r <= 10; ++r) {
            out << storedCell(c, r);
        }
        return out;
    }
    QStringList numbers() const { return column(0); }
    void fillGrid() {
        for (int r = 1; r <= 10; ++r) {
            storedRows.setRow(r - 1, record(r, 2, static_cast<float>(79 + r)));
        }
    }
};

TEST_F(StoredValuesTest, CountFiveFetchesOnePageAndFillsRowsOneToFive) {
    setCount(5);
    fillGrid();
    stored.fetchStoredValues();
    EXPECT_EQ(port.storedValueRequests(), std::vector<int>{155});
    EXPECT_EQ(column(1), QStringList(10, QString())); // emptied
    stored.receiveStoredValuesPage(page(1));
    EXPECT_EQ(numbers(), (QStringList{"1", "2", "3", "4", "5", "", "", "", "", ""}));
}

TEST_F(StoredValuesTest, CountSixFetchesTwoPagesAndTheSecondFillsRowSixOnly) {
    setCount(6);
    stored.fetchStoredValues();
    EXPECT_EQ(port.storedValueRequests(), (std::vector<int>{155, 205}));
    stored.receiveStoredValuesPage(page(1));
    stored.receiveStoredValuesPage(page(6));
    EXPECT_EQ(numbers(), (QStringList{"1", "2", "3", "4", "5", "6", "", "", "", ""}));
}

TEST_F(StoredValuesTest, FewerThanFiveRecordsTakeOnlyThatManyOfThePage) {
    setCount(3);
    stored.receiveStoredValuesPage(page(1));
    EXPECT_EQ(numbers(), (QStringList{"1", "2", "3", "", "", "", "", "", "", ""}));
}

TEST_F(StoredValuesTest, AnErasedMeterGetsTwoRequestsShowsNothingCopiesNothingAndStoresInSlotOne) {
    setCount(255);
    stored.fetchStoredValues();
    EXPECT_EQ(port.storedValueRequests(), (std::vector<int>{155, 205}));
    stored.receiveStoredValuesPage(page(1));
    EXPECT_EQ(numbers(), QStringList(10, QString()));

    fillGrid();
    stored.copyStoredValuesToTable();
    EXPECT_EQ(tableRows.rowCount(), 1);

    stored.storeLiveValue();
    const auto bytes = port.writtenBytes();
    ASSERT_EQ(bytes.size(), 11U);
    EXPECT_EQ(bytes.front(), std::make_pair(155, 1));
    EXPECT_EQ(bytes.back(), std::make_pair(154, 1));
}

TEST_F(StoredValuesTest, StoringSendsTheElevenCommandsInOrderAndArmsTheFetch) {
    setCount(3);
    state.status.method = 2;
    state.status.measuredValue = 92.5F;
    stored.storeLiveValue();
    EXPECT_EQ(port.writtenBytes(), (std::vector<std::pair<int, int>>{{185, 4},
                                                                     {186, 2},
                                                                     {187, 0x00},
                                                                     {188, 0x00},
                                                                     {189, 0xB9},
                                                                     {190, 0x42},
                                                                     {191, 0},
                                                                     {192, 0},
                                                                     {193, 0},
                                                                     {194, 0},
                                                                     {154, 4}}));
    EXPECT_TRUE(storedValuesTimer.isEnabled());
}

TEST_F(StoredValuesTest, ATenthAndAnyOtherOutOfRangeCountStoreInSlotOne) {
    for (int count : {0, 10, 11, 255}) {
        port.writes.clear();
        setCount(count);
        stored.storeLiveValue();
        const auto bytes = port.writtenBytes();
        ASSERT_EQ(bytes.size(), 11U) << count;
        EXPECT_EQ(bytes.front(), std::make_pair(155, 1)) << count;
        EXPECT_EQ(bytes[9], std::make_pair(164, 0)) << count;
        EXPECT_EQ(bytes.back(), std::make_pair(154, 1)) << count;
    }
    setCount(9);
    port.writes.clear();
    stored.storeLiveValue();
    EXPECT_EQ(port.writtenBytes().front(), std::make_pair(245, 10));
}

TEST_F(StoredValuesTest, WithoutAMeterTheStoreStillArmsTheFetchAndTheFetchStillEmptiesTheGrid) {
    port.isConnected = false;
    fillGrid();
    setCount(6);
    stored.fetchStoredValues();
    EXPECT_EQ(notConnected, 2);
    EXPECT_EQ(column(2), QStringList(10, QString()));
    stored.storeLiveValue();
    EXPECT_EQ(notConnected, 13);
    EXPECT_TRUE(storedValuesTimer.isEnabled());
    EXPECT_TRUE(port.writes.empty());
}

TEST_F(StoredValuesTest, ACancelledErasureSendsNothingAndKeepsTheGrid) {
    fillGrid();
    storedValuesTimer.enable();
    messages.answer = false;
    stored.eraseStoredValues();
    EXPECT_EQ(messages.questions,
              QStringList{QStringLiteral("Удалить все сохраненные значения с прибора ?")});
    EXPECT_TRUE(port.writes.empty());
    EXPECT_EQ(storedCell(2, 10), QStringLiteral("89"));
    EXPECT_TRUE(progress.isEmpty());
    EXPECT_TRUE(storedValuesTimer.isEnabled());
}

TEST_F(StoredValuesTest, ErasureWritesTheWholeAreaWhileBusyAndCancelsThePendingFetch) {
    fillGrid();
    storedValuesTimer.enable();
    stored.eraseStoredValues();
    const auto bytes = port.writtenBytes();
    ASSERT_EQ(bytes.size(), 102U);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        EXPECT_EQ(bytes[i], std::make_pair(154 + static_cast<int>(i), 255));
    }
    EXPECT_EQ(column(0), QStringList(10, QString()));
    EXPECT_EQ(progress, (QStringList{"Идет удаление...", "busy", "idle", ""}));
    EXPECT_FALSE(storedValuesTimer.isEnabled());
    EXPECT_EQ(storedRows.headerData(1, Qt::Horizontal).toString(), QStringLiteral("Метод"));
}

TEST_F(StoredValuesTest, WithoutAMeterTheErasureStillRunsItsSendsAndEndsWithAnEmptyPanel) {
    port.isConnected = false;
    stored.eraseStoredValues();
    EXPECT_EQ(notConnected, 102);
    ASSERT_FALSE(progress.isEmpty());
    EXPECT_EQ(progress.back(), QString());
}

TEST_F(StoredValuesTest, ValuesShowAllDigitsOfTheSingleWithTheLocalesSeparator) {
    setCount(4);
    protocol::StoredValuesPage p;
    p.records[0] = record(1, 1, 92.3F);
    p.records[1] = record(2, 2, 92.5F, 1.5F);
    p.records[2] = record(3, 4, 100.0F);
    p.records[3] = record(4, 7, 0.0F);
    {
        LocaleGuard guard{QLocale(QLocale::English)};
        stored.receiveStoredValuesPage(p);
        EXPECT_EQ(storedCell(2, 1), QStringLiteral("92.3000030517578"));
    }
    {
        LocaleGuard guard{QLocale(QLocale::Russian)};
        stored.receiveStoredValuesPage(p);
        EXPECT_EQ(storedCell(2, 1), QStringLiteral("92,3000030517578"));
        EXPECT_EQ(storedCell(3, 2), QStringLiteral("1,5"));
    }
    EXPECT_EQ(column(1), (QStringList{"Исследовательский метод", "Моторный метод", "AKI", "7", "",
                                      "", "", "", "", ""}));
    EXPECT_EQ(storedCell(2, 3), QStringLiteral("100"));
    EXPECT_EQ(storedCell(3, 1), QStringLiteral("0"));
}

TEST_F(StoredValuesTest, RecordsNumberedOutsideOneToTenAreNotShown) {
    setCount(3);
    protocol::StoredValuesPage p;
    p.records[0] = record(0, 1, 90.0F);
    p.records[1] = record(11, 1, 91.0F);
    p.records[2] = record(2, 1, 92.0F);
    stored.receiveStoredValuesPage(p);
    EXPECT_EQ(numbers(), (QStringList{"", "2", "", "", "", "", "", "", "", ""}));
}

TEST_F(StoredValuesTest, CopyAddsEveryCountedRowWithConsecutiveNumbers) {
    setCount(3);
    fillGrid();
    lists.list(1).select(1); // "10"
    stored.copyStoredValuesToTable();
    ASSERT_EQ(tableRows.rowCount(), 4);
    for (int r = 1; r <= 3; ++r) {
        EXPECT_EQ(tableCell(0, r), QString::number(9 + r));
        EXPECT_EQ(tableCell(4, r), QStringLiteral("Моторный метод"));
        EXPECT_EQ(tableCell(5, r), QStringLiteral("8%1").arg(r - 1));
    }
    EXPECT_EQ(lists.list(1).selectedText(), QStringLiteral("13"));
}

TEST_F(StoredValuesTest, TheCopyIsOneChangeOfTheTable) {
    setCount(3);
    fillGrid();
    QSignalSpy begun(&tableRows, &MeasurementTableModel::editBegun);
    QSignalSpy ended(&tableRows, &MeasurementTableModel::editEnded);
    stored.copyStoredValuesToTable();
    EXPECT_EQ(tableRows.rowCount(), 4);
    EXPECT_EQ(begun.count(), 1);
    EXPECT_EQ(ended.count(), 1);
}

TEST_F(StoredValuesTest, CopyOfAnUnfetchedGridStoresSpaces) {
    setCount(2);
    stored.copyStoredValuesToTable();
    EXPECT_EQ(tableCell(4, 1), QStringLiteral(" "));
    EXPECT_EQ(tableCell(5, 2), QStringLiteral(" "));
}

TEST_F(StoredValuesTest, ANumberThatCannotAdvanceStopsTheCopyAfterItsRow) {
    setCount(3);
    fillGrid();
    lists.list(1).setItems({QStringLiteral("x"), addItemText()});
    lists.list(1).select(0);
    EXPECT_THROW(stored.copyStoredValuesToTable(), common::AppError);
    EXPECT_EQ(tableRows.rowCount(), 2);
    EXPECT_EQ(tableCell(5, 1), QStringLiteral("80"));
}

} // namespace
} // namespace zr::records::test
