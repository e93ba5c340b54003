#include "ui/StringGrid.h"

#include <gtest/gtest.h>

using zr::ui::StringGrid;

TEST(StringGrid, RowZeroIsTheHeaderAndBodyRowsFollow) {
    StringGrid grid(3, 4);
    EXPECT_EQ(grid.rowCountWithHeader(), 4);
    grid.setCell(1, 0, QStringLiteral("Header"));
    grid.setCell(1, 3, QStringLiteral("last"));
    grid.setCell(1, 4, QStringLiteral("outside"));
    grid.setCell(5, 1, QStringLiteral("outside"));
    EXPECT_EQ(grid.cell(1, 0), QStringLiteral("Header"));
    EXPECT_EQ(grid.cell(1, 3), QStringLiteral("last"));
    EXPECT_EQ(grid.cell(1, 4), QString());
    EXPECT_EQ(grid.cell(0, 2), QString());

    grid.setRowCountWithHeader(2);
    EXPECT_EQ(grid.cell(1, 0), QStringLiteral("Header"));
    EXPECT_EQ(grid.cell(1, 3), QString());

    EXPECT_EQ(grid.currentGridRow(), 0);
    grid.setCurrentGridRow(1);
    EXPECT_EQ(grid.currentGridRow(), 1);
}
