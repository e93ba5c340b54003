#include "common/NumberFormat.h"

#include <gtest/gtest.h>
#include <limits>

using namespace zr::common;

namespace {
const QLocale kComma(QLocale::Russian, QLocale::Russia);
const QLocale kPoint(QLocale::English, QLocale::UnitedStates);
} // namespace

TEST(NumberFormat, OneDecimalUsesTheLocaleSeparatorAndDropsTrailingZeros) {
    EXPECT_EQ(formatOneDecimal(92.34, kComma), QStringLiteral("92,3"));
    EXPECT_EQ(formatOneDecimal(92.36, kComma), QStringLiteral("92,4"));
    EXPECT_EQ(formatOneDecimal(92.0, kComma), QStringLiteral("92"));
    EXPECT_EQ(formatOneDecimal(92.34, kPoint), QStringLiteral("92.3"));
    EXPECT_EQ(formatOneDecimal(static_cast<double>(92.3F), kPoint), QStringLiteral("92.3"));
}

TEST(NumberFormat, HalfwayTenthsGoToTheEvenDigit) {
    EXPECT_EQ(formatOneDecimal(0.25, kPoint), QStringLiteral("0.2"));
    EXPECT_EQ(formatOneDecimal(0.75, kPoint), QStringLiteral("0.8"));
    EXPECT_EQ(formatOneDecimal(92.25, kPoint), QStringLiteral("92.2"));
    EXPECT_EQ(formatOneDecimal(92.75, kPoint), QStringLiteral("92.8"));
    // 0.35 is stored slightly below the halfway point and so goes down.
    EXPECT_EQ(formatOneDecimal(0.35, kPoint), QStringLiteral("0.3"));
    EXPECT_EQ(formatOneDecimal(-0.25, kPoint), QStringLiteral("-0.2"));
}

TEST(NumberFormat, NegativeZeroAndLargeValues) {
    EXPECT_EQ(formatOneDecimal(-0.04, kPoint), QStringLiteral("0"));
    EXPECT_EQ(formatGeneral(1234567.5, kComma), QStringLiteral("1234567,5"));
    EXPECT_EQ(formatGeneral(0.1 + 0.2, kPoint), QStringLiteral("0.3"));
}

TEST(NumberFormat, ScientificFormHasACapitalEAndABareExponent) {
    // A single-precision 1e16 widened to double, as a meter value arrives.
    EXPECT_EQ(formatGeneral(static_cast<double>(1e16F), kComma),
              QStringLiteral("1,00000002725642E16"));
    EXPECT_EQ(formatOneDecimal(static_cast<double>(1e16F), kComma),
              QStringLiteral("1,00000002725642E16"));
    EXPECT_EQ(formatGeneral(1e15, kPoint), QStringLiteral("1E15"));
    EXPECT_EQ(formatGeneral(999999999999999.0, kPoint), QStringLiteral("999999999999999"));
    EXPECT_EQ(formatGeneral(-2.5e20, kComma), QStringLiteral("-2,5E20"));
    EXPECT_EQ(formatGeneral(1.5e-5, kComma), QStringLiteral("1,5E-5"));
    EXPECT_EQ(formatGeneral(0.0001, kPoint), QStringLiteral("0.0001"));
    EXPECT_EQ(formatGeneral(1e-300, kPoint), QStringLiteral("1E-300"));
}

TEST(NumberFormat, NotANumberAndInfinitiesAreWrittenInCapitals) {
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(formatGeneral(nan, kComma), QStringLiteral("NAN"));
    EXPECT_EQ(formatGeneral(-nan, kComma), QStringLiteral("NAN"));
    EXPECT_EQ(formatGeneral(inf, kComma), QStringLiteral("INF"));
    EXPECT_EQ(formatGeneral(-inf, kComma), QStringLiteral("-INF"));
    EXPECT_EQ(formatOneDecimal(static_cast<double>(std::numeric_limits<float>::infinity()), kPoint),
              QStringLiteral("INF"));
    EXPECT_EQ(formatOneDecimal(-inf, kPoint), QStringLiteral("-INF"));
    EXPECT_EQ(formatOneDecimal(nan, kPoint), QStringLiteral("NAN"));
}
