#include "ui/WindowPlacement.h"

#include <QDialog>
#include <QGuiApplication>
#include <QScreen>
#include <gtest/gtest.h>

using zr::ui::besideOrOver;
using zr::ui::fitWithin;

namespace {
// A 1366 × 768 laptop screen with a 32-pixel panel at the bottom, and a 1600 × 900 screen.
const QRect kLaptop(0, 0, 1366, 736);
const QRect kWide(0, 0, 1600, 900);
// The main window as designed: 349, 237, 941 wide, 586 high with its menu bar, plus a frame.
const QRect kMainFrame(349, 237, 941 + 2, 586 + 24);
} // namespace

TEST(WindowPlacement, AWindowThatFitsKeepsItsPosition) {
    EXPECT_EQ(fitWithin(kMainFrame, kWide), QPoint(349, 237));
    EXPECT_EQ(fitWithin(QRect(0, 0, 1600, 900), kWide), QPoint(0, 0));
}

TEST(WindowPlacement, AWindowThatDoesNotFitMovesJustEnough) {
    // 237 + 610 = 847 > 736: up by 111 pixels, across not at all.
    EXPECT_EQ(fitWithin(kMainFrame, kLaptop), QPoint(349, 126));
    // Past the right edge only.
    EXPECT_EQ(fitWithin(QRect(1000, 100, 500, 300), kLaptop), QPoint(866, 100));
    // Above and left of the area (a screen with a panel at the top and left).
    const QRect panelled(40, 30, 1326, 738);
    EXPECT_EQ(fitWithin(QRect(10, 0, 300, 200), panelled), QPoint(40, 30));
}

TEST(WindowPlacement, AWindowLargerThanTheAreaKeepsItsTopLeftCornerOnScreen) {
    EXPECT_EQ(fitWithin(QRect(349, 237, 2000, 1000), kLaptop), QPoint(0, 0));
    const QRect panelled(40, 30, 800, 600);
    EXPECT_EQ(fitWithin(QRect(500, 400, 900, 700), panelled), QPoint(40, 30));
}

TEST(WindowPlacement, ACompanionCoversNothingOfTheWindowWhereThereIsRoomElseItsSparePart) {
    // A 1920 × 1080 screen and a 1280 × 1024 one, each less a 32-pixel panel.
    const QRect fullHd(0, 0, 1920, 1048);
    const QRect square(0, 0, 1280, 992);
    const QSize small(300, 160);
    const QSize large(400, 200);
    // The laptop's main window as fitted, and its table page.
    const QRect laptopMain(349, 126, 943, 610);
    const QRect laptopTable(622, 279, 665, 417);
    struct Case {
        const char* name;
        QRect available;
        QRect anchor;
        QSize size;
        QPoint expected;
    };
    const Case cases[] = {
        {"right", kWide, {100, 100, 943, 610}, small, {100 + 943 + 8, 100}},
        {"left", kWide, {500, 100, 943, 610}, small, {500 - 8 - 300, 100}},
        {"left on the laptop", kLaptop, laptopMain, small, {41, 126}},
        {"right on a wide screen", fullHd, {488, 219, 943, 610}, large, {488 + 943 + 8, 219}},
        {"below", square, {168, 0, 943, 610}, large, {168 + 943 - 400, 610 + 8}},
        {"above", square, {168, 382, 943, 610}, large, {168 + 943 - 400, 382 - 8 - 200}},
        {"beside, slid up onto the screen", kLaptop, {900, 600, 943, 610}, small, {592, 576}},
        {"over the table page's bottom-right corner",
         kLaptop,
         laptopMain,
         large,
         {622 + 665 - 400, 279 + 417 - 200}},
    };
    for (const Case& c : cases) {
        const QRect spare = c.anchor == laptopMain ? laptopTable : c.anchor;
        const QPoint place = besideOrOver(c.anchor, c.size, c.available, spare);
        EXPECT_EQ(place, c.expected) << c.name;
        EXPECT_TRUE(c.available.contains(QRect(place, c.size))) << c.name;
    }
}

TEST(WindowPlacement, AKeptWindowIsFittedToItsScreenWhenShown) {
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    ASSERT_FALSE(available.isEmpty());
    QDialog dialog;
    dialog.resize(available.width() / 2, available.height() / 2);
    zr::ui::keepOnScreen(&dialog);
    dialog.move(available.right() - 10, available.bottom() - 10);
    dialog.show();
    EXPECT_TRUE(available.contains(dialog.frameGeometry())) << dialog.frameGeometry().x();

    // A window that fits stays where it was put.
    dialog.hide();
    dialog.move(available.topLeft() + QPoint(5, 7));
    dialog.show();
    EXPECT_EQ(dialog.frameGeometry().topLeft(), available.topLeft() + QPoint(5, 7));
}
