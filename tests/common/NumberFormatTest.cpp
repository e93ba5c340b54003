#include "common/NumberFormat.h"

#include <gtest/gtest.h>

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
