#include "calibration/OctaneValue.h"

#include <gtest/gtest.h>
#include <limits>

namespace zr::calibration {
namespace {

std::int64_t parsed(const char* text) {
    return OctaneValue::parse(QString::fromUtf8(text), QLocale::c())->hundredths();
}

TEST(OctaneValue, TypedTextsAreHeldToTwoDecimalsHalfToEven) {
    EXPECT_EQ(parsed(""), 0);
    EXPECT_EQ(parsed("-"), 0);
    EXPECT_EQ(parsed("70"), 7000);
    EXPECT_EQ(parsed("70.5"), 7050);
    EXPECT_EQ(parsed("70,25"), 7025);
    EXPECT_EQ(parsed("0.125"), 12);
    EXPECT_EQ(parsed("0.135"), 14);
    EXPECT_EQ(parsed("0.1251"), 13);
    EXPECT_EQ(parsed("-1.005"), -100);
    EXPECT_EQ(parsed("0000000000000012.5"), 1250);
    EXPECT_FALSE(OctaneValue::parse("7a"));
    EXPECT_FALSE(OctaneValue::parse("1.2.3"));
    EXPECT_FALSE(OctaneValue::parse("12345678901234")); // more than 13 integer digits
    EXPECT_EQ(OctaneValue::parse("70,5", QLocale(QLocale::Russian))->hundredths(), 7050);
}

TEST(OctaneValue, ReadingsTakeTheirShortestDecimalForm) {
    EXPECT_EQ(OctaneValue::fromFloat(70.0F)->hundredths(), 7000);
    EXPECT_EQ(OctaneValue::fromFloat(92.345F)->hundredths(), 9234);
    EXPECT_EQ(OctaneValue::fromFloat(92.355F)->hundredths(), 9236);
    EXPECT_EQ(OctaneValue::fromFloat(79.94F)->hundredths(), 7994);
    EXPECT_FALSE(OctaneValue::fromFloat(std::numeric_limits<float>::quiet_NaN()));
    EXPECT_FALSE(OctaneValue::fromFloat(std::numeric_limits<float>::infinity()));
    EXPECT_FALSE(OctaneValue::fromFloat(3e38F));
}

TEST(OctaneValue, TheDisplayPatternInBothLocales) {
    const QLocale c = QLocale::c();
    const QLocale ru(QLocale::Russian);
    auto v = OctaneValue::fromHundredths;
    EXPECT_EQ(v(0).displayText(c), QString());
    EXPECT_EQ(v(7000).displayText(c), QStringLiteral("070.0."));
    EXPECT_EQ(v(7000).displayText(ru), QStringLiteral("070,0."));
    EXPECT_EQ(v(925).displayText(c), QStringLiteral("009.2.")); // halfway to even
    EXPECT_EQ(v(935).displayText(c), QStringLiteral("009.4."));
    EXPECT_EQ(v(5).displayText(c), QStringLiteral("000.0."));
    EXPECT_EQ(v(-550).displayText(c), QStringLiteral("-005.5."));
    EXPECT_EQ(v(123456).displayText(QLocale(QLocale::English)), QStringLiteral("1,234.6."));
    EXPECT_EQ(v(123456789).displayText(ru), QStringLiteral("1") + ru.groupSeparator() +
                                                QStringLiteral("234") + ru.groupSeparator() +
                                                QStringLiteral("567,9."));

    EXPECT_EQ(v(0).editText(c), QString());
    EXPECT_EQ(v(7000).editText(c), QStringLiteral("70"));
    EXPECT_EQ(v(7050).editText(ru), QStringLiteral("70,5"));
    EXPECT_EQ(v(-7005).editText(c), QStringLiteral("-70.05"));
    EXPECT_EQ(v(0).shortText(c), QStringLiteral("0"));
}

} // namespace
} // namespace zr::calibration
