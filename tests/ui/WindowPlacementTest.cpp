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

TEST(WindowPlacement, ACompanionStandsBesideWhereThereIsRoomElseOverTheWindow) {
    const QSize companion(300, 160);
    // Room to the right on a wide screen.
    const QPoint right = besideOrOver(QRect(100, 100, 943, 610), companion, kWide);
    EXPECT_EQ(right, QPoint(100 + 943 + 8, 100));
    // No room to the right but to the left.
    const QPoint left = besideOrOver(QRect(500, 100, 943, 610), companion, kWide);
    EXPECT_EQ(left, QPoint(500 - 8 - 300, 100));
    // On a laptop the designed main window leaves room on its left only.
    EXPECT_EQ(besideOrOver(QRect(349, 126, 943, 610), companion, kLaptop), QPoint(41, 126));
    // Room on neither side: over the window's right part, wholly on screen.
    const QSize wide(400, 160);
    const QPoint over = besideOrOver(QRect(349, 126, 943, 610), wide, kLaptop);
    EXPECT_EQ(over, QPoint(349 + 943 - 400, 126));
    // A main window past the screen's edge still gets a companion wholly on screen.
    const QPoint clamped = besideOrOver(QRect(900, 600, 943, 610), companion, kLaptop);
    EXPECT_TRUE(kLaptop.contains(QRect(clamped, companion)));
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
