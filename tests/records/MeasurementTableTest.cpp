#include "RecordsFixture.h"

#include "common/AppError.h"
#include "support/LocaleGuard.h"

namespace zr::records::test {
namespace {

using zr::test::LocaleGuard;

class MeasurementTableTest : public RecordsFixture {
protected:
    QStringList row(int r) const {
        QStringList texts;
        for (int c = 0; c < 7; ++c) {
            texts << tableGrid.cell(c, r);
        }
        return texts;
    }
    QStringList emptyRow() const { return QStringList(7, QString()); }
    void writeRows(int n) {
        for (int i = 0; i < n; ++i) {
            table.runHeaderCommand(0);
        }
    }
    // Writes rows whose grade cells are "g1", "g2", …; with the built-in lists.
    void writeNamedRows(int n) {
        for (int i = 1; i <= n; ++i) {
            MeasurementRow r = table.newRow(QStringLiteral("m"), QStringLiteral("v"));
            r.Grade = QStringLiteral("g%1").arg(i);
            table.appendRow(r, true);
        }
    }
    QStringList grades() const {
        QStringList out;
        for (int r = 1; r < tableGrid.rowCountWithHeader(); ++r) {
            out << tableGrid.cell(1, r);
        }
        return out;
    }
};

TEST_F(MeasurementTableTest, WritingFillsTheEntryRowAndAppendsANewOne) {
    LocaleGuard guard{QLocale(QLocale::Russian, QLocale::Russia)};
    lists.list(2).select(2);
    live = {QStringLiteral("Моторный метод"), QStringLiteral("84,6")};
    table.runHeaderCommand(0);
    ASSERT_EQ(tableGrid.rowCountWithHeader(), 3);
    EXPECT_EQ(row(1), (QStringList{"1", "АИ-92", "P 1", "ЛУКОЙЛ", "Моторный метод", "84,6",
                                   "14.03.2026 09:05:07"}));
    EXPECT_EQ(row(2), emptyRow());
    EXPECT_EQ(lists.list(1).selectedText(), QStringLiteral("2"));
}

TEST_F(MeasurementTableTest, NumbersRunOnFromTheSelectedItemAndEachSeriesKeepsItsOwn) {
    lists.list(1).select(1); // "10"
    writeRows(3);
    EXPECT_EQ(tableGrid.cell(0, 1), QStringLiteral("10"));
    EXPECT_EQ(tableGrid.cell(0, 2), QStringLiteral("11"));
    EXPECT_EQ(tableGrid.cell(0, 3), QStringLiteral("12"));
    EXPECT_EQ(lists.list(1).items(), (QStringList{"1", "13", "100", "1000", "Добавить..."}));
    EXPECT_EQ(lists.list(1).selectedIndex(), 1);

    lists.list(1).select(3);
    writeRows(1);
    EXPECT_EQ(tableGrid.cell(0, 4), QStringLiteral("1000"));
    EXPECT_EQ(lists.list(1).item(3), QStringLiteral("1001"));
    EXPECT_EQ(lists.list(1).item(1), QStringLiteral("13"));
}

TEST_F(MeasurementTableTest, WithoutAMeterTheRowHoldsASpaceAndZeroAndEmptyTextsBecomeSpaces) {
    lists.list(3).insertItem(0, QString());
    lists.list(3).select(0);
    table.runHeaderCommand(0);
    EXPECT_EQ(tableGrid.cell(2, 1), QStringLiteral(" "));
    EXPECT_EQ(tableGrid.cell(4, 1), QStringLiteral(" "));
    EXPECT_EQ(tableGrid.cell(5, 1), QStringLiteral("0"));

    live = {QString(), QString()};
    table.runHeaderCommand(0);
    for (int c = 0; c < 7; ++c) {
        EXPECT_FALSE(tableGrid.cell(c, 2).isEmpty()) << c;
    }
}

TEST_F(MeasurementTableTest, ANumberThatIsNoIntegerStillWritesTheRowButDoesNotAdvance) {
    lists.list(1).setItems({QStringLiteral("12a"), addItemText()});
    lists.list(1).select(0);
    try {
        table.runHeaderCommand(0);
        FAIL() << "no error";
    } catch (const common::AppError& error) {
        EXPECT_EQ(error.text(), QStringLiteral("'12a' is not a valid integer value"));
    }
    EXPECT_EQ(tableGrid.rowCountWithHeader(), 3);
    EXPECT_EQ(tableGrid.cell(0, 1), QStringLiteral("12a"));
    EXPECT_EQ(row(2), emptyRow());
    EXPECT_EQ(lists.list(1).item(0), QStringLiteral("12a"));

    // A list reduced to its add item writes the add item as the number.
    lists.list(1).setItems({addItemText()});
    lists.list(1).select(0);
    EXPECT_THROW(table.runHeaderCommand(0), common::AppError);
    EXPECT_EQ(tableGrid.cell(0, 2), addItemText());
}

TEST_F(MeasurementTableTest, NegativeAndHexNumbersAdvanceAsIntegers) {
    lists.list(1).setItems({QStringLiteral("-5"), QStringLiteral("$10"), addItemText()});
    lists.list(1).select(0);
    writeRows(2);
    EXPECT_EQ(lists.list(1).item(0), QStringLiteral("-3"));
    lists.list(1).select(1);
    writeRows(1);
    EXPECT_EQ(tableGrid.cell(0, 3), QStringLiteral("$10"));
    EXPECT_EQ(lists.list(1).item(1), QStringLiteral("17"));
}

TEST_F(MeasurementTableTest, DeletingFromTwoRowsEmptiesRowOneAndKeepsTwoRows) {
    writeRows(1);
    table.runHeaderCommand(1); // no current row: the first body row goes
    EXPECT_EQ(tableGrid.rowCountWithHeader(), 2);
    EXPECT_EQ(grades(), (QStringList{""}));

    common::MemoryTextGrid twoRows(7, 2);
    MeasurementTable small(twoRows, lists, {}, {});
    twoRows.setCell(3, 1, QStringLiteral("x"));
    twoRows.setCurrentGridRow(1);
    small.runHeaderCommand(1);
    EXPECT_EQ(twoRows.rowCountWithHeader(), 2);
    EXPECT_EQ(twoRows.cell(3, 1), QString());
}

TEST_F(MeasurementTableTest, DeletingRowTwoOfFiveMovesTheRowsBelowUp) {
    writeNamedRows(3); // rows 1-3 written, row 4 the entry row: 5 rows with the header
    ASSERT_EQ(tableGrid.rowCountWithHeader(), 5);
    tableGrid.setCurrentGridRow(2);
    table.runHeaderCommand(1);
    EXPECT_EQ(tableGrid.rowCountWithHeader(), 4);
    EXPECT_EQ(grades(), (QStringList{"g1", "g3", ""}));
    EXPECT_EQ(row(3), emptyRow());
}

TEST_F(MeasurementTableTest, AfterTheEntryRowWasDeletedTheLastWrittenRowIsKept) {
    writeNamedRows(2);
    tableGrid.setCurrentGridRow(3); // the entry row
    table.runHeaderCommand(1);
    ASSERT_EQ(grades(), (QStringList{"g1", "g2"}));

    // Writing a value keeps "g2" and appends after it.
    MeasurementRow r = table.newRow({}, {});
    r.Grade = QStringLiteral("g3");
    table.appendRow(r, true);
    EXPECT_EQ(grades(), (QStringList{"g1", "g2", "g3", ""}));

    // So does the copy of stored values (without emptying first).
    tableGrid.setCurrentGridRow(4);
    table.runHeaderCommand(1);
    r.Grade = QStringLiteral("g4");
    table.appendRow(r, false);
    EXPECT_EQ(grades(), (QStringList{"g1", "g2", "g3", "g4", ""}));
}

TEST_F(MeasurementTableTest, HeaderSectionsTwoAndThreeRunTheExportAndThePrint) {
    QStringList ran;
    MeasurementTable withCommands(
        tableGrid, lists, {},
        MeasurementTable::Commands{[&] { ran << "save"; }, [&] { ran << "print"; }});
    withCommands.runHeaderCommand(2);
    withCommands.runHeaderCommand(3);
    EXPECT_EQ(ran, (QStringList{"save", "print"}));
    EXPECT_EQ(tableGrid.rowCountWithHeader(), 2);
}

TEST(MeasurementTimestamp, ShortDateAndLongTimeWithSecondsButNoTimeZone) {
    const QDateTime moment(QDate(2026, 12, 7), QTime(14, 3, 9));
    EXPECT_EQ(measurementTimestamp(moment, QLocale(QLocale::Russian, QLocale::Russia)),
              QStringLiteral("07.12.2026 14:03:09"));
    const QString us =
        measurementTimestamp(moment, QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_TRUE(us.startsWith(QStringLiteral("12/7/26 2:03:09"))) << us.toStdString();
    EXPECT_FALSE(us.contains(QStringLiteral("UTC")) || us.contains(QStringLiteral("GMT")))
        << us.toStdString();
    for (const QLocale& locale : {QLocale(QLocale::German), QLocale(QLocale::Japanese)}) {
        const QString text = measurementTimestamp(moment, locale);
        EXPECT_TRUE(text.contains(QStringLiteral("03")) && text.contains(QStringLiteral("09")))
            << text.toStdString();
        EXPECT_FALSE(text.contains(QStringLiteral("UTC")) || text.contains(QStringLiteral("GMT")))
            << text.toStdString();
    }
}

} // namespace
} // namespace zr::records::test
