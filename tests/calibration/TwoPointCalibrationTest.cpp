#include "calibration/TwoPointCalibration.h"

#include "calibration/LibraryFakes.h"
#include "calibration/TwoPointLine.h"
#include "common/AppError.h"

#include <gtest/gtest.h>

namespace zr::calibration {
namespace {

using Field = TwoPointCalibration::Field;

OctaneValue value(double v) {
    return *OctaneValue::fromDouble(v);
}

class TwoPointTest : public ::testing::Test {
protected:
    TwoPointTest() {
        t.state.status.method = 1;
        t.state.meterMethod = 1;
        t.state.status.frequency = 4500; // a live reading
        wizard.restart();
    }

    // The meter's list of method 1 read with its four slots taken, and `refused` copies refused.
    void fillMeter(int refused) {
        test::readMeterList(t.calibrations, 1, {1, 2, 3, 4});
        for (int i = 0; i < refused; ++i) {
            t.calibrations.takeSlotForCopy({});
        }
    }

    // Through the pages as the user goes: both fuels remembered, then the main button on page 2.
    void enterFuels(double ml, double rl, double mh, double rh) {
        wizard.advance();
        wizard.advance();
        wizard.setValue(Field::LowReading, value(ml));
        wizard.setValue(Field::LowTrue, value(rl));
        wizard.rememberLowFuel();
        wizard.setValue(Field::HighReading, value(mh));
        wizard.setValue(Field::HighTrue, value(rh));
        wizard.rememberHighFuel();
    }
    // The error a handler raises, empty when none.
    QString errorOf(void (TwoPointCalibration::*handler)()) {
        try {
            (wizard.*handler)();
        } catch (const common::AppError& e) {
            return e.text();
        }
        return {};
    }
    std::pair<QString, QString> coefficients(double ml, double rl, double mh, double rh) {
        wizard.restart();
        enterFuels(ml, rl, mh, rh);
        wizard.advance();
        EXPECT_EQ(wizard.screen().page, 3);
        return {wizard.screen().k1Text, wizard.screen().k2Text};
    }

    test::ControllerTestContext t;
    TwoPointCalibration wizard{t.context(), t.calibrations};
};

TEST_F(TwoPointTest, TheLineThroughBothFuelsGivesK1AndK2) {
    using P = std::pair<QString, QString>;
    EXPECT_EQ(coefficients(70, 80, 86, 93), P("812", "231"));
    EXPECT_EQ(coefficients(76, 80, 92, 95), P("938", "88"));
    EXPECT_EQ(coefficients(80, 80, 95, 95), P("1000", "0"));
    EXPECT_EQ(coefficients(86, 93, 70, 80), P("812", "231"));
    EXPECT_EQ(coefficients(90.5, 90, 95.25, 96.75), P("1421", "-386"));
    EXPECT_EQ(wizard.screen().mainCaption, QStringLiteral("Добавить коррекцию в список"));
    EXPECT_TRUE(wizard.screen().mainBold);
}

TEST_F(TwoPointTest, TheFieldsAreReadWhenTheComputationRuns) {
    enterFuels(70, 80, 86, 90);
    wizard.setValue(Field::HighTrue, value(93));
    wizard.advance();
    EXPECT_EQ(wizard.screen().k1Text, QStringLiteral("812"));
    EXPECT_EQ(wizard.screen().k2Text, QStringLiteral("231"));
    EXPECT_EQ(wizard.screen().highStatus, QStringLiteral("Корректировать значение 86 до 90"));
}

TEST_F(TwoPointTest, EqualReadingsStopOnPageTwo) {
    enterFuels(80, 85, 80, 90);
    EXPECT_EQ(errorOf(&TwoPointCalibration::advance),
              QStringLiteral("Floating point division by zero"));
    EXPECT_EQ(wizard.screen().page, 2);
    EXPECT_TRUE(wizard.screen().k1Text.isEmpty());

    wizard.setValue(Field::HighTrue, value(85));
    EXPECT_EQ(errorOf(&TwoPointCalibration::advance),
              QStringLiteral("Invalid floating point operation"));
    EXPECT_EQ(wizard.screen().page, 2);
}

TEST_F(TwoPointTest, CoefficientsOutsideSixteenBitsStayOnTheirPage) {
    enterFuels(70, 0, 70.01, 1000);
    EXPECT_TRUE(errorOf(&TwoPointCalibration::advance).startsWith("Коэффициент К1 = 100000000"));
    EXPECT_EQ(wizard.screen().page, 2);

    EXPECT_EQ(checkedCoefficient("К2", 32767.0L), 32767);
    EXPECT_EQ(checkedCoefficient("К2", -32768.0L), -32768);
    EXPECT_THROW(checkedCoefficient("К2", 32768.0L), common::AppError);
}

TEST_F(TwoPointTest, OpeningStartsAfreshButKeepsNameAndComment) {
    enterFuels(70, 80, 86, 93);
    wizard.advance();
    wizard.setName(QStringLiteral("MINE"));
    wizard.setComment(QStringLiteral("note"));
    t.state.status.method = 2;
    wizard.restart();
    const auto& s = wizard.screen();
    EXPECT_EQ(s.page, 0);
    EXPECT_EQ(s.heading, QStringLiteral("Залейте низкооктановый бензин"));
    for (int i = 0; i < TwoPointCalibration::kFields; ++i) {
        EXPECT_TRUE(s.values[static_cast<std::size_t>(i)].isZero());
        EXPECT_TRUE(s.valueEnabled[static_cast<std::size_t>(i)]);
    }
    EXPECT_FALSE(s.highGroupVisible);
    EXPECT_TRUE(s.lowStatus.isEmpty() && s.highStatus.isEmpty());
    EXPECT_TRUE(s.lowRememberEnabled && s.highRememberEnabled && s.mainEnabled);
    EXPECT_EQ(s.mainCaption, QStringLiteral("Далее >"));
    EXPECT_TRUE(s.k1Text.isEmpty() && s.k2Text.isEmpty());
    EXPECT_EQ(s.methodIndex, 1);
    EXPECT_EQ(s.name, QStringLiteral("MINE"));
    EXPECT_EQ(s.comment, QStringLiteral("note"));

    t.state.status.method = 4;
    wizard.restart();
    EXPECT_EQ(wizard.screen().methodIndex, -1);
}

TEST_F(TwoPointTest, RememberingMovesTheUserOn) {
    QLocale::setDefault(QLocale(QLocale::Russian));
    wizard.advance();
    wizard.advance();
    EXPECT_EQ(wizard.screen().page, 2);
    EXPECT_FALSE(wizard.screen().mainEnabled);

    t.state.status.measuredValue = 70.5F;
    wizard.takeLowReading();
    wizard.setValue(Field::LowTrue, value(80));
    wizard.rememberLowFuel();
    EXPECT_EQ(wizard.screen().values[Field::LowReading].hundredths(), 7050);
    EXPECT_EQ(wizard.screen().lowStatus, QStringLiteral("Корректировать значение 70,5 до 80"));
    EXPECT_TRUE(wizard.screen().highGroupVisible);
    EXPECT_FALSE(wizard.screen().valueEnabled[Field::LowTrue]);
    EXPECT_TRUE(wizard.screen().lowRememberEnabled);
    EXPECT_EQ(wizard.screen().heading, QStringLiteral("Залейте высокооктановый бензи"));
    EXPECT_FALSE(wizard.screen().mainEnabled);

    t.state.status.measuredValue = 92.345F; // a third decimal goes to the even hundredth
    wizard.takeHighReading();
    EXPECT_EQ(wizard.screen().values[Field::HighReading].hundredths(), 9234);
    wizard.rememberHighFuel();
    EXPECT_EQ(wizard.screen().highStatus, QStringLiteral("Корректировать значение 92,34 до 0"));
    EXPECT_EQ(wizard.screen().heading, QStringLiteral("Нажмите расчет коррекции для продолжения"));
    EXPECT_TRUE(wizard.screen().mainEnabled);
    EXPECT_FALSE(wizard.screen().lowRememberEnabled || wizard.screen().highRememberEnabled);
    QLocale::setDefault(QLocale::c());
}

// "<--" takes only a reading the meter sent since it was plugged in, measured in the wizard's
// method; otherwise it says why and the field keeps its value.
TEST_F(TwoPointTest, TheWizardTakesOnlyALiveReadingOfItsOwnMethod) {
    const QString notSincePlugIn =
        QStringLiteral("Прибор ещё не прислал показание после подключения, показание не снято !");
    const QString otherMethod =
        QStringLiteral("Метод измерения прибора не совпадает с выбранным, показание не снято !");
    const struct {
        const char* what;
        std::uint32_t attachment; // the status came with attachment 0
        std::uint8_t meterMethod;
        int picked; // the list entry the user picks on page 1, -1 for none
        QString error;
    } cases[] = {{"a live reading", 0, 1, -1, QString()},
                 {"plugged in again, no report yet", 1, 1, -1, notSincePlugIn},
                 {"the meter switched to another method", 0, 2, -1, otherMethod},
                 {"the method picked, the meter not yet on it", 0, 1, 1, otherMethod}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        t.state.status.method = 1;
        t.state.status.measuredValue = 70.5F;
        wizard.restart();
        wizard.advance();
        t.state.meterAttachment = c.attachment;
        t.state.meterMethod = c.meterMethod;
        if (c.picked >= 0) {
            wizard.chooseMethod(c.picked);
        }
        wizard.advance();
        EXPECT_EQ(errorOf(&TwoPointCalibration::takeLowReading), c.error);
        EXPECT_EQ(wizard.screen().values[Field::LowReading].hundredths(),
                  c.error.isEmpty() ? 7050 : 0);
    }
}

TEST_F(TwoPointTest, ChoosingAMethodSwitchesTheMeterAtOnce) {
    wizard.advance();
    wizard.chooseMethod(1);
    EXPECT_EQ(t.state.status.method, 2);
    ASSERT_EQ(t.port.writes.size(), 1U);
    EXPECT_EQ(t.port.writes[0][1], 0x64);
    EXPECT_EQ(t.port.writes[0][2], 2);
}

TEST_F(TwoPointTest, FinishingHandsTheResultOver) {
    enterFuels(70, 80, 86, 93);
    wizard.advance();
    wizard.advance();
    EXPECT_EQ(wizard.screen().page, 4);
    EXPECT_EQ(wizard.screen().heading, QStringLiteral("Комментарий"));
    EXPECT_FALSE(wizard.accepted());
    wizard.setName(QStringLiteral("AI92-LAB-12"));
    wizard.setComment(QStringLiteral("line 1\nline 2"));
    wizard.setK2Text(QStringLiteral("-15"));
    // The meter switched since the readings were taken: they are still of method 1.
    t.state.status.method = 3;
    t.state.meterMethod = 3;
    wizard.advance();
    ASSERT_TRUE(wizard.accepted());
    const WizardResult& r = wizard.result();
    EXPECT_EQ(r.name, QStringLiteral("AI92-LAB-1"));
    EXPECT_EQ(r.method, 1);
    EXPECT_EQ(r.k1, 812);
    EXPECT_EQ(r.k2, -15);
    EXPECT_EQ(r.comment, QStringLiteral("line 1\r\nline 2"));
    EXPECT_FALSE(r.writeAsFirstSlot);
    EXPECT_TRUE(t.messages.questions.isEmpty());
}

TEST_F(TwoPointTest, AFullMeterIsAskedAboutSlotOne) {
    enterFuels(70, 80, 86, 93);
    wizard.advance();
    wizard.advance();
    fillMeter(5);
    ASSERT_EQ(t.calibrations.lastSlot(), 9);
    t.messages.answer = false;
    wizard.advance();
    EXPECT_EQ(t.messages.questions,
              QStringList{QStringLiteral("Нет всободного места для записи коррекции , записать "
                                         "данную коррекцию под номером 1 ?")});
    EXPECT_EQ(t.messages.warningCaptions, QStringList{QStringLiteral("Предупреждение")});
    EXPECT_FALSE(wizard.accepted());
    EXPECT_EQ(wizard.screen().page, 4);

    t.messages.answer = true;
    wizard.advance();
    EXPECT_TRUE(wizard.accepted());
    EXPECT_TRUE(wizard.result().writeAsFirstSlot) << "its copy goes to slot 1";

    // 8 is not yet full.
    wizard.restart();
    enterFuels(70, 80, 86, 93);
    wizard.advance();
    wizard.advance();
    fillMeter(4);
    wizard.advance();
    EXPECT_TRUE(wizard.accepted());
    EXPECT_FALSE(wizard.result().writeAsFirstSlot);
    EXPECT_EQ(t.messages.questions.size(), 2);
}

TEST_F(TwoPointTest, AKEditThatIsNotAnIntegerStopsTheFinish) {
    enterFuels(70, 80, 86, 93);
    wizard.advance();
    wizard.advance();
    // Page 3 checked the edits when the user left it; the finishing step checks them again.
    wizard.setK1Text(QStringLiteral("8l2"));
    fillMeter(5);
    EXPECT_EQ(errorOf(&TwoPointCalibration::advance),
              QStringLiteral("'8l2' is not a valid integer value"));
    EXPECT_FALSE(wizard.accepted());
    EXPECT_EQ(wizard.screen().page, 4);
    EXPECT_TRUE(t.messages.questions.isEmpty());

    wizard.setK1Text(QStringLiteral("40000"));
    EXPECT_TRUE(errorOf(&TwoPointCalibration::advance).startsWith("Коэффициент К1 = 40000"));
    EXPECT_FALSE(wizard.accepted());
}

} // namespace
} // namespace zr::calibration
