#include "calibration/views/CalibrationListBlock.h"
#include "calibration/CalibrationListModel.h"

#include "ui/StringGrid.h"

#include <QImage>
#include <QMenu>
#include <QTest>
#include <gtest/gtest.h>

namespace zr::calibration {
namespace {

const QColor kRed(255, 0, 0);

class CalibrationListBlockTest : public ::testing::Test {
protected:
    CalibrationListBlockTest() {
        block.setRowInForce([this] { return rowInForce; });
        block.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&block));
    }

    QImage paintedGrid() { return grid()->viewport()->grab().toImage(); }
    QRect cellRect(int column, int gridRow) {
        return grid()->visualRect(grid()->model()->index(gridRow - 1, column));
    }
    // A point well inside the cell, away from where the number is written.
    QColor fillOf(const QImage& image, int column, int gridRow) {
        const QRect r = cellRect(column, gridRow);
        return image.pixelColor(r.right() - 3, r.bottom() - 3);
    }
    bool hasDarkPixelNearTopLeft(const QImage& image, int column, int gridRow) {
        const QRect r = cellRect(column, gridRow);
        for (int y = r.top(); y < r.top() + 14; ++y) {
            for (int x = r.left(); x < r.left() + 10; ++x) {
                if (image.pixelColor(x, y).lightness() < 90) {
                    return true;
                }
            }
        }
        return false;
    }
    ui::StringGrid* grid() { return block.grid(); }

    int rowInForce = 0;
    CalibrationListModel rows;
    CalibrationListBlock block{rows};
};

TEST_F(CalibrationListBlockTest, TheGridHasNineRowsAndItsDrawnWidthsFromTheStart) {
    EXPECT_EQ(grid()->objectName(), QStringLiteral("StringGrid1"));
    EXPECT_EQ(grid()->rowCountWithHeader(), 9);
    EXPECT_EQ(grid()->colCount(), 4);
    const int widths[] = {40, 120, 40, 40};
    for (int c = 0; c < 4; ++c) {
        EXPECT_EQ(grid()->columnWidth(c), widths[c]) << c;
    }
}

TEST_F(CalibrationListBlockTest, TheCalibrationInForceIsMarkedRedWithItsNumberEvenOnAnEmptyRow) {
    rowInForce = 3;
    const QImage image = paintedGrid();
    EXPECT_EQ(fillOf(image, 0, 3), kRed);
    EXPECT_TRUE(hasDarkPixelNearTopLeft(image, 0, 3)) << "the slot number is written over it";
    for (int r = 1; r <= 8; ++r) {
        if (r != 3) {
            EXPECT_NE(fillOf(image, 0, r), kRed) << r;
        }
    }
    for (int c = 1; c < 4; ++c) {
        EXPECT_NE(fillOf(image, c, 3), kRed) << "only the first cell is marked";
    }
}

TEST_F(CalibrationListBlockTest, NothingIsRedWithoutACalibrationInForceAndTheMarkFollows) {
    grid()->setCell(0, 2, QStringLiteral("2"));
    grid()->setCell(1, 2, QStringLiteral("NAME"));
    QImage image = paintedGrid();
    for (int r = 1; r <= 8; ++r) {
        EXPECT_NE(fillOf(image, 0, r), kRed) << r;
    }
    rowInForce = 2;
    image = paintedGrid();
    EXPECT_EQ(fillOf(image, 0, 2), kRed);
    rowInForce = 255; // beyond the grid: no row to mark
    image = paintedGrid();
    for (int r = 1; r <= 8; ++r) {
        EXPECT_NE(fillOf(image, 0, r), kRed) << r;
    }
}

TEST_F(CalibrationListBlockTest, TheToolBarAndTheContextMenuCarryTheirItemsInOrder) {
    QStringList items;
    for (QAction* action : block.popupMenu()->actions()) {
        items << (action->isSeparator() ? QStringLiteral("-") : action->objectName());
    }
    EXPECT_EQ(items, (QStringList{"N6", "N8", "-", "N3", "N24", "-", "N10"}));
    EXPECT_EQ(block.popupMenu()->objectName(), QStringLiteral("PopupMenu2"));
}

} // namespace
} // namespace zr::calibration
