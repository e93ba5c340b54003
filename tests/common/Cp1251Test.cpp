#include "common/Cp1251.h"

#include <gtest/gtest.h>

using namespace zr::common;

// 0x98, unassigned in code page 1251, included: a UTF-8 "И" (D0 98) read as a list must come back.
TEST(Cp1251, EveryByteSurvivesARoundTrip) {
    for (int b = 1; b < 256; ++b) {
        const QByteArray in(1, static_cast<char>(b));
        EXPECT_EQ(toCp1251(fromCp1251(in)), in) << "byte " << b;
    }
}

TEST(Cp1251, KnownCharactersMapToTheirBytes) {
    EXPECT_EQ(toCp1251(QStringLiteral("№")), QByteArray("\xB9"));
    EXPECT_EQ(toCp1251(QStringLiteral("К1")), QByteArray("\xCA\x31"));
    EXPECT_EQ(toCp1251(QStringLiteral("АИ-92 ёЁ")), QByteArray("\xC0\xC8-92 \xB8\xA8"));
    EXPECT_EQ(fromCp1251(QByteArray("\xDF\xFF")), QStringLiteral("Яя"));
}

TEST(Cp1251, CharactersOutsideTheCodePageBecomeQuestionMarks) {
    EXPECT_EQ(toCp1251(QStringLiteral("a€bΩc中")), QByteArray("a\x88"
                                                              "b?c?"));
    EXPECT_EQ(toCp1251String(QStringLiteral("Ω")), std::string("?"));
}

TEST(Cp1251, TellsWhetherATextFitsTheCodePage) {
    EXPECT_TRUE(fitsCp1251(QStringLiteral("АИ-92 ? № €")));
    EXPECT_TRUE(fitsCp1251(fromCp1251(QByteArray("\x98"))));
    EXPECT_FALSE(fitsCp1251(QStringLiteral("Ωmega")));
    EXPECT_FALSE(fitsCp1251(QStringLiteral("ü")));
}
