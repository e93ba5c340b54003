#include "journal/TableRow.h"

#include <QTimeZone>
#include <gtest/gtest.h>
#include <optional>

namespace zr::journal {
namespace {

const QLocale kRussian(QLocale::Russian, QLocale::Russia);
const QLocale kAmerican(QLocale::English, QLocale::UnitedStates);

// 7 March 2026, 12:30:15 local time; the fallback is a day later.
const QDateTime kMoment(QDate(2026, 3, 7), QTime(12, 30, 15));
const QDateTime kWritten = kMoment.addDays(1).toUTC();

// What a row's method, value and date cells read as, and which texts stay beside the typed row.
struct Case {
    const char* name;
    QLocale locale;
    QString method, value, date;
    std::optional<int> typedMethod;
    std::optional<double> typedValue;
    int decimals;
    QDateTime moment;
    bool methodKept, valueKept, dateKept;
};

void PrintTo(const Case& c, std::ostream* out) {
    *out << c.name;
}

class TableRowTest : public ::testing::TestWithParam<Case> {};

TEST_P(TableRowTest, ReadsTheTextsAndKeepsWhatItCannotShowAgain) {
    const Case& c = GetParam();
    const QStringList cells{QStringLiteral("17"),
                            QStringLiteral("АИ-95"),
                            QStringLiteral("P 1"),
                            QStringLiteral("ЛУКОЙЛ"),
                            c.method,
                            c.value,
                            c.date};
    const TableRow row = rowFromTexts(cells, kWritten, c.locale);
    EXPECT_EQ(row.number, QStringLiteral("17"));
    EXPECT_EQ(row.supplier, QStringLiteral("ЛУКОЙЛ"));
    EXPECT_EQ(row.method, c.typedMethod);
    EXPECT_EQ(row.value, c.typedValue);
    EXPECT_EQ(row.valueDecimals, c.decimals);
    EXPECT_EQ(row.moment, c.moment.toUTC());
    EXPECT_EQ(row.moment.timeSpec(), Qt::UTC);
    EXPECT_EQ(row.methodText.has_value(), c.methodKept);
    EXPECT_EQ(row.valueText.has_value(), c.valueKept);
    EXPECT_EQ(row.momentText.has_value(), c.dateKept);
    // Nothing is lost: the row shows the texts it was read from.
    EXPECT_EQ(shownTexts(row, c.locale), cells);
}

const QString kMotor = QStringLiteral("Моторный метод");
const QString kRussianDate = QStringLiteral("07.03.2026 12:30:15");

INSTANTIATE_TEST_SUITE_P(
    Journal, TableRowTest,
    ::testing::Values(Case{"LiveReading", kRussian, kMotor, "92,3", kRussianDate, 2, 92.3, 1,
                           kMoment, false, false, false},
                      Case{"WholeLiveReading", kRussian, kMotor, "92", kRussianDate, 2, 92.0, -1,
                           kMoment, false, false, false},
                      Case{"StoredValueInGeneralFormat", kRussian, kMotor, "92,35", kRussianDate, 2,
                           92.35, -1, kMoment, false, false, false},
                      Case{"ExponentOfTheGeneralFormat", kRussian, kMotor, "1,5E-5", kRussianDate,
                           2, 1.5e-5, -1, kMoment, false, false, false},
                      Case{"PointUnderACommaLocale", kRussian, kMotor, "92.3", kRussianDate, 2,
                           92.3, 1, kMoment, false, true, false},
                      Case{"CommaUnderAPointLocale", kAmerican, kMotor, "92,3",
                           "3/7/26 12:30:15 PM", 2, 92.3, 1, kMoment, false, true, false},
                      Case{"BothSeparators", kRussian, kMotor, "1.092,3", kRussianDate, 2,
                           std::nullopt, -1, kMoment, false, true, false},
                      Case{"NoNumber", kRussian, kMotor, "ошибка", kRussianDate, 2, std::nullopt,
                           -1, kMoment, false, true, false},
                      Case{"NotANumber", kRussian, kMotor, "NAN", kRussianDate, 2, std::nullopt, -1,
                           kMoment, false, true, false},
                      Case{"WithoutAMeter", kRussian, " ", " ", kRussianDate, std::nullopt,
                           std::nullopt, -1, kMoment, false, false, false},
                      Case{"StoredCodeOutsideTheNames", kRussian, "7", "92,3", kRussianDate, 7,
                           92.3, 1, kMoment, false, false, false},
                      Case{"CodeOfANamedMethod", kRussian, "2", "92,3", kRussianDate, 2, 92.3, 1,
                           kMoment, true, false, false},
                      Case{"UnknownMethodName", kRussian, "Метод Х", "92,3", kRussianDate,
                           std::nullopt, 92.3, 1, kMoment, true, false, false},
                      Case{"TwoDigitYearInItsCentury", kAmerican, kMotor, "92.3",
                           "3/7/26 12:30:15 PM", 2, 92.3, 1, kMoment, false, false, false},
                      Case{"DateInAnotherLocalesFormat", kAmerican, kMotor, "92.3", kRussianDate, 2,
                           92.3, 1, kWritten, false, false, true},
                      Case{"NoDate", kRussian, kMotor, "92,3", " ", 2, 92.3, 1, kWritten, false,
                           false, true}),
    [](const auto& test) { return std::string(test.param.name); });

// A row read within the second its date shows has that second as its moment, as a row read
// later has.
TEST(TableRowMomentTest, TheSecondShownIsTheMomentWhenWrittenInIt) {
    const QStringList cells{"1", "АИ-95", "P 1", "ЛУКОЙЛ", kMotor, "92,3", kRussianDate};
    for (const int later : {0, 999, 86400 * 1000}) {
        SCOPED_TRACE(later);
        const TableRow row = rowFromTexts(cells, kMoment.addMSecs(later).toUTC(), kRussian);
        EXPECT_EQ(row.moment, kMoment.toUTC());
        EXPECT_FALSE(row.momentText);
    }
}

TEST(TableRowEmptyTest, AnEmptyRowHasNothingTypedAndShowsEmptyCells) {
    const QStringList empty(7, QString());
    const TableRow row = rowFromTexts(empty, kWritten, kRussian);
    EXPECT_TRUE(row.isEmpty());
    EXPECT_EQ(shownTexts(row, kRussian), empty);
    // One emptied cell in a written row is kept as such.
    QStringList cells{"1", "АИ-95", "P 1", "ЛУКОЙЛ", kMotor, QString(), kRussianDate};
    const TableRow written = rowFromTexts(cells, kWritten, kRussian);
    EXPECT_FALSE(written.isEmpty());
    EXPECT_EQ(written.valueText, QString());
    EXPECT_EQ(shownTexts(written, kRussian), cells);
}

} // namespace
} // namespace zr::journal
