#include "calibration/ManualCorrection.h"

#include "CalibrationTestSupport.h"
#include "common/HandlerRegistry.h"

#include <gtest/gtest.h>

namespace zr::calibration {
namespace {

using test::kCommit;
using test::kWriteByte;
using test::Sent;

const QLocale kPoint = QLocale(QLocale::English);
const QLocale kComma = QLocale(QLocale::Russian);

class ManualCorrectionTest : public ::testing::Test, public test::CalibrationFixture {
protected:
    // The meter on `method`, and the dialog opened then.
    void setMethod(int method) {
        state.status.method = static_cast<std::uint8_t>(method);
        correction.takeMethodInForce();
    }

    int dialogShown = 0;
    ManualCorrection correction{context(), [this] { ++dialogShown; }};
};

TEST_F(ManualCorrectionTest, TheMenuItemShowsTheDialogAndDoesNothingElse) {
    common::HandlerRegistry handlers;
    correction.registerHandlers(handlers);
    const auto* openDialogHandler = handlers.find(QStringLiteral("openManualCorrection"));
    ASSERT_NE(openDialogHandler, nullptr);
    (*openDialogHandler)(0);
    EXPECT_EQ(dialogShown, 1);
    EXPECT_TRUE(port.writes.empty());
}

TEST_F(ManualCorrectionTest, ApplyWritesTheFourBytesOfTheSingleThenCommits) {
    struct Case {
        int method;
        QString text;
        std::vector<Sent> expected;
        float cached;
    };
    const Case cases[] = {
        {1,
         "1.5",
         {{kWriteByte, 5, 0x00},
          {kWriteByte, 6, 0x00},
          {kWriteByte, 7, 0xC0},
          {kWriteByte, 8, 0x3F},
          {kCommit, 0, 0}},
         1.5F},
        {2,
         "-0.1",
         {{kWriteByte, 9, 0xCD},
          {kWriteByte, 10, 0xCC},
          {kWriteByte, 11, 0xCC},
          {kWriteByte, 12, 0xBD},
          {kCommit, 0, 0}},
         -0.1F},
        {3,
         "0",
         {{kWriteByte, 13, 0},
          {kWriteByte, 14, 0},
          {kWriteByte, 15, 0},
          {kWriteByte, 16, 0},
          {kCommit, 0, 0}},
         0.0F},
        // Method 4 keeps its bytes without a commit.
        {4,
         "-5",
         {{kWriteByte, 17, 0x00},
          {kWriteByte, 18, 0x00},
          {kWriteByte, 19, 0xA0},
          {kWriteByte, 20, 0xC0}},
         -5.0F},
    };
    for (const QLocale& locale : {kPoint, kComma}) {
        for (const Case& c : cases) {
            port.writes.clear();
            setMethod(c.method);
            QString text = c.text;
            text.replace(QLatin1Char('.'), locale.decimalPoint());
            correction.applyCorrection(text, locale);
            EXPECT_EQ(sent(), c.expected) << c.method << " " << text.toStdString();
            EXPECT_EQ(state.correctionCache[static_cast<std::size_t>(c.method)], double(c.cached))
                << c.method;
        }
    }
}

TEST_F(ManualCorrectionTest, ApplyRoundsToHundredthsAndTakesNonNumbersAsZero) {
    setMethod(1);
    correction.applyCorrection(QStringLiteral("1,234"), kComma);
    EXPECT_EQ(state.correctionCache[1], double(1.23F));
    correction.applyCorrection(QStringLiteral("0.125"), kPoint);
    EXPECT_EQ(state.correctionCache[1], double(0.12F)) << "halfway to even";
    correction.applyCorrection(QStringLiteral("1.5"), kComma);
    EXPECT_EQ(state.correctionCache[1], 1.5) << "a point is read under a comma locale too";

    for (const QString& text : {QStringLiteral("abc"), QString(), QStringLiteral("inf")}) {
        port.writes.clear();
        correction.applyCorrection(text, kPoint);
        EXPECT_EQ(sent(), (std::vector<Sent>{{kWriteByte, 5, 0},
                                             {kWriteByte, 6, 0},
                                             {kWriteByte, 7, 0},
                                             {kWriteByte, 8, 0},
                                             {kCommit, 0, 0}}))
            << text.toStdString();
        EXPECT_EQ(state.correctionCache[1], 0.0);
    }
}

TEST_F(ManualCorrectionTest, ApplyWithoutAKnownMethodDoesNothingAndWithoutMeterStillCaches) {
    for (int method : {0, 5}) {
        setMethod(method);
        correction.applyCorrection(QStringLiteral("1.5"), kPoint);
    }
    EXPECT_TRUE(port.writes.empty());
    EXPECT_EQ(state.correctionCache, (std::array<double, 5>{}));

    port.isConnected = false;
    setMethod(2);
    correction.applyCorrection(QStringLiteral("2.5"), kPoint);
    EXPECT_EQ(notConnected, 5);
    EXPECT_EQ(state.correctionCache[2], 2.5);
}

TEST_F(ManualCorrectionTest, ShownValueFollowsTheCacheOfTheCurrentMethod) {
    setMethod(1);
    CorrectionShown shown = correction.shownValue(kComma);
    EXPECT_EQ(shown.methodIndex, 0);
    EXPECT_EQ(shown.text, QStringLiteral("0"));
    EXPECT_EQ(shown.position, 0);

    correction.applyCorrection(QStringLiteral("1,5"), kComma);
    shown = correction.shownValue(kComma);
    EXPECT_EQ(shown.text, QStringLiteral("1,5"));
    EXPECT_EQ(shown.position, 15);

    state.correctionCache[3] = -0.25;
    setMethod(3);
    shown = correction.shownValue(kPoint);
    EXPECT_EQ(shown.methodIndex, 2);
    EXPECT_EQ(shown.text, QStringLiteral("-0.2")) << "halfway to the even tenth";
    EXPECT_EQ(shown.position, -2);

    state.correctionCache[4] = 7.0;
    setMethod(4);
    shown = correction.shownValue(kPoint);
    EXPECT_EQ(shown.methodIndex, -1) << "the list has no entry for method 4";
    EXPECT_EQ(shown.text, QStringLiteral("7"));
    EXPECT_EQ(shown.position, 50) << "limited to the up-down's range";

    setMethod(0);
    shown = correction.shownValue(kPoint);
    EXPECT_EQ(shown.methodIndex, -1);
    EXPECT_FALSE(shown.text);
    EXPECT_FALSE(shown.position);
}

TEST_F(ManualCorrectionTest, ChoosingAMethodSetsItWithoutTellingTheMeter) {
    setMethod(1);
    state.correctionCache[2] = 1.0;
    const CorrectionShown shown = correction.chooseMethod(1, kPoint);
    EXPECT_EQ(state.status.method, 2);
    EXPECT_EQ(shown.methodIndex, 1);
    EXPECT_EQ(shown.text, QStringLiteral("1"));
    EXPECT_EQ(shown.position, 10);
    EXPECT_TRUE(port.writes.empty());
    EXPECT_FALSE(calibrationListTimer.isEnabled());

    correction.chooseMethod(-1, kPoint);
    EXPECT_EQ(state.status.method, 2) << "no entry chosen is no method";
}

TEST_F(ManualCorrectionTest, SteppingShowsTenthsOfThePosition) {
    EXPECT_EQ(ManualCorrection::textForPosition(15, kPoint), QStringLiteral("1.5"));
    EXPECT_EQ(ManualCorrection::textForPosition(15, kComma), QStringLiteral("1,5"));
    EXPECT_EQ(ManualCorrection::textForPosition(-3, kPoint), QStringLiteral("-0.3"));
    EXPECT_EQ(ManualCorrection::textForPosition(0, kPoint), QStringLiteral("0"));
    EXPECT_EQ(ManualCorrection::textForPosition(50, kPoint), QStringLiteral("5"));
    EXPECT_EQ(ManualCorrection::textForPosition(-50, kComma), QStringLiteral("-5"));
}

} // namespace
} // namespace zr::calibration
