#include "ExportTestSupport.h"
#include "RecordsFixture.h"

#include "common/AppError.h"
#include "support/LocaleGuard.h"

#include <functional>

namespace zr::records::test {
namespace {

using zr::test::LocaleGuard;

class MeasurementTableTest : public RecordsFixture {
protected:
    QStringList row(int r) const {
        QStringList texts;
        for (int c = 0; c < 7; ++c) {
            texts << tableCell(c, r);
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
            MeasurementRow r = table.newRow(1, 92.0, common::kGeneralFormat);
            r.grade = QStringLiteral("g%1").arg(i);
            table.appendRow(r);
        }
    }
    QStringList grades() const {
        QStringList out;
        for (int r = 1; r <= tableRows.rowCount(); ++r) {
            out << tableCell(1, r);
        }
        return out;
    }
};

TEST_F(MeasurementTableTest, WritingFillsTheEntryRowAndAppendsANewOne) {
    LocaleGuard guard{QLocale(QLocale::Russian, QLocale::Russia)};
    lists.list(2).select(2);
    live = {2, 84.6, common::kOneDecimal};
    table.runHeaderCommand(0);
    ASSERT_EQ(tableRows.rowCount(), 2);
    EXPECT_EQ(row(1), (QStringList{"1", "АИ-92", "P 1", "ЛУКОЙЛ", "Моторный метод", "84,6",
                                   "14.03.2026 09:05:07"}));
    EXPECT_EQ(row(2), emptyRow());
    EXPECT_EQ(lists.list(1).selectedText(), QStringLiteral("2"));
}

TEST_F(MeasurementTableTest, NumbersRunOnFromTheSelectedItemAndEachSeriesKeepsItsOwn) {
    lists.list(1).select(1); // "10"
    writeRows(3);
    EXPECT_EQ(tableCell(0, 1), QStringLiteral("10"));
    EXPECT_EQ(tableCell(0, 2), QStringLiteral("11"));
    EXPECT_EQ(tableCell(0, 3), QStringLiteral("12"));
    EXPECT_EQ(lists.list(1).items(), (QStringList{"1", "13", "100", "1000", "Добавить..."}));
    EXPECT_EQ(lists.list(1).selectedIndex(), 1);

    lists.list(1).select(3);
    writeRows(1);
    EXPECT_EQ(tableCell(0, 4), QStringLiteral("1000"));
    EXPECT_EQ(lists.list(1).item(3), QStringLiteral("1001"));
    EXPECT_EQ(lists.list(1).item(1), QStringLiteral("13"));
}

TEST_F(MeasurementTableTest, WithoutAMeterTheRowHoldsASpaceAndZeroAndEmptyTextsBecomeSpaces) {
    lists.list(3).insertItem(0, QString());
    lists.list(3).select(0);
    table.runHeaderCommand(0);
    EXPECT_EQ(tableCell(2, 1), QStringLiteral(" "));
    EXPECT_EQ(tableCell(4, 1), QStringLiteral(" "));
    EXPECT_EQ(tableCell(5, 1), QStringLiteral("0"));

    lists.list(1).insertItem(0, QString());
    lists.list(1).select(0);
    EXPECT_THROW(table.runHeaderCommand(0), common::AppError);
    for (int c = 0; c < 7; ++c) {
        EXPECT_FALSE(tableCell(c, 2).isEmpty()) << c;
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
    EXPECT_EQ(tableRows.rowCount(), 2);
    EXPECT_EQ(tableCell(0, 1), QStringLiteral("12a"));
    EXPECT_EQ(row(2), emptyRow());
    EXPECT_EQ(lists.list(1).item(0), QStringLiteral("12a"));

    // A list reduced to its add item writes the add item as the number.
    lists.list(1).setItems({addItemText()});
    lists.list(1).select(0);
    EXPECT_THROW(table.runHeaderCommand(0), common::AppError);
    EXPECT_EQ(tableCell(0, 2), addItemText());
}

TEST_F(MeasurementTableTest, NegativeAndHexNumbersAdvanceAsIntegers) {
    lists.list(1).setItems({QStringLiteral("-5"), QStringLiteral("$10"), addItemText()});
    lists.list(1).select(0);
    writeRows(2);
    EXPECT_EQ(lists.list(1).item(0), QStringLiteral("-3"));
    lists.list(1).select(1);
    writeRows(1);
    EXPECT_EQ(tableCell(0, 3), QStringLiteral("$10"));
    EXPECT_EQ(lists.list(1).item(1), QStringLiteral("17"));
}

TEST_F(MeasurementTableTest, DeletingFromTwoRowsEmptiesRowOneAndKeepsTwoRows) {
    writeRows(1);
    table.runHeaderCommand(1); // no current row: the first body row goes
    EXPECT_EQ(tableRows.rowCount(), 1);
    EXPECT_EQ(grades(), (QStringList{""}));

    MeasurementTableModel twoRows;
    MeasurementTable small(twoRows, lists, {}, {});
    twoRows.setData(twoRows.index(0, 3), QStringLiteral("x"));
    twoRows.setCurrentRow(0);
    small.runHeaderCommand(1);
    EXPECT_EQ(twoRows.rowCount(), 1);
    EXPECT_TRUE(twoRows.row(0).isEmpty());
}

TEST_F(MeasurementTableTest, DeletingRowTwoOfFiveMovesTheRowsBelowUp) {
    writeNamedRows(3); // rows 1-3 written, row 4 the entry row: 5 rows with the header
    ASSERT_EQ(tableRows.rowCount(), 4);
    tableRows.setCurrentRow(1);
    table.runHeaderCommand(1);
    EXPECT_EQ(tableRows.rowCount(), 3);
    EXPECT_EQ(grades(), (QStringList{"g1", "g3", ""}));
    EXPECT_EQ(row(3), emptyRow());
}

TEST_F(MeasurementTableTest, ASecondDeletionTakesTheRowThatMovedIntoPlace) {
    writeNamedRows(4);
    tableRows.setCurrentRow(1);
    table.runHeaderCommand(1);
    EXPECT_EQ(tableRows.currentRow(), 1);
    EXPECT_TRUE(tableRows.selection().isSelected(tableRows.index(1, 0)));
    table.runHeaderCommand(1);
    EXPECT_EQ(grades(), (QStringList{"g1", "g4", ""}));

    // At the end the last row stays current.
    tableRows.setCurrentRow(2);
    table.runHeaderCommand(1);
    EXPECT_EQ(tableRows.currentRow(), 1);
    EXPECT_TRUE(tableRows.selection().isSelected(tableRows.index(1, 0)));
}

TEST_F(MeasurementTableTest, AfterTheEntryRowWasDeletedTheLastWrittenRowIsKept) {
    writeNamedRows(2);
    tableRows.setCurrentRow(2); // the entry row
    table.runHeaderCommand(1);
    ASSERT_EQ(grades(), (QStringList{"g1", "g2"}));

    // Writing a value keeps "g2" and appends after it.
    MeasurementRow r = table.newRow({}, {}, common::kGeneralFormat);
    r.grade = QStringLiteral("g3");
    table.appendRow(r);
    EXPECT_EQ(grades(), (QStringList{"g1", "g2", "g3", ""}));
}

TEST_F(MeasurementTableTest, HeaderSectionsTwoAndThreeRunTheExportAndThePrint) {
    QStringList ran;
    MeasurementTable withCommands(
        tableRows, lists, {},
        MeasurementTable::Commands{[&] { ran << "save"; }, [&] { ran << "print"; }});
    withCommands.runHeaderCommand(2);
    withCommands.runHeaderCommand(3);
    EXPECT_EQ(ran, (QStringList{"save", "print"}));
    EXPECT_EQ(tableRows.rowCount(), 1);
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

namespace zr::records::test {
namespace {

// What typing into a cell of a written row does to the row: the field takes the text when the
// cell then shows that very text, else the row keeps it as typed.
TEST(MeasurementTableModel, ATypedTextGoesIntoItsFieldOnlyWhenTheCellShowsItAgain) {
    const zr::test::LocaleGuard russian{QLocale(QLocale::Russian, QLocale::Russia)};
    const MeasurementRow written = zr::test::sampleRow("10", QStringLiteral("АИ-92"));
    struct Case {
        int column;
        const char* text;
        std::function<void(MeasurementRow&)> expected;
    };
    const auto typed = [](int column, const char* text) {
        return [column, text](MeasurementRow& row) {
            row.typed[static_cast<std::size_t>(column)] = QString::fromUtf8(text);
        };
    };
    const Case cases[] = {
        {0, "15", [](MeasurementRow& row) { row.number = QStringLiteral("15"); }},
        {1, "", typed(1, "")},
        {4, "Моторный метод", [](MeasurementRow& row) { row.method = 2; }},
        {4, "7", [](MeasurementRow& row) { row.method = 7; }},
        {4, "1", typed(4, "1")},
        {4, " ", [](MeasurementRow& row) { row.method.reset(); }},
        {5, "84,6",
         [](MeasurementRow& row) {
             row.value = 84.6;
             row.valueDecimals = common::kGeneralFormat;
         }},
        {5, "84,60", typed(5, "84,60")},
        {5, "84.6", typed(5, "84.6")},
        {6, "07.12.2026 10:15:00", typed(6, "07.12.2026 10:15:00")},
    };
    for (const Case& c : cases) {
        MeasurementTableModel model;
        model.setRow(0, written);
        const QString text = QString::fromUtf8(c.text);
        EXPECT_TRUE(model.setData(model.index(0, c.column), text));
        MeasurementRow expected = written;
        c.expected(expected);
        EXPECT_EQ(model.row(0), expected) << c.column << " " << c.text;
        EXPECT_EQ(model.data(model.index(0, c.column)).toString(), text) << c.text;
    }

    // Into the entry row: the other cells stay empty.
    MeasurementTableModel model;
    EXPECT_TRUE(model.setData(model.index(0, 1), QStringLiteral("АИ-95")));
    EXPECT_EQ(model.row(0).grade, QStringLiteral("АИ-95"));
    for (int column = 0; column < MeasurementRow::kColumns; ++column) {
        EXPECT_EQ(model.data(model.index(0, column)).toString(),
                  column == 1 ? QStringLiteral("АИ-95") : QString())
            << column;
    }
}

} // namespace
} // namespace zr::records::test
