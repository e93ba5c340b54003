#pragma once

#include <QString>

namespace zr::common {

// A grid of texts as the program's logic sees a grid on screen: (column, row), row 0 the header
// row, rows 1.. the body. The screen grid implements it; tests use MemoryTextGrid.
class TextGrid {
public:
    virtual ~TextGrid() = default;

    virtual int colCount() const = 0;
    // Rows including the header row.
    virtual int rowCountWithHeader() const = 0;
    virtual void setRowCountWithHeader(int rows) = 0;

    // Empty outside the grid.
    virtual QString cell(int column, int row) const = 0;
    // Ignored outside the grid.
    virtual void setCell(int column, int row, const QString& text) = 0;
    // Removes body row `row` (1..), moving the rows below it up by one.
    virtual void removeRow(int row) = 0;

    // The selected row in grid numbering (1 = first body row), 0 when none.
    virtual int currentGridRow() const = 0;
    virtual void setCurrentGridRow(int row) = 0;
    // Repaints the grid (rows marked from outside the cells, such as the calibration in force).
    virtual void redraw() {}

    // Several changes that belong together (a written row), so that whoever records the grid
    // keeps them as one. Nested pairs count as one.
    virtual void beginEdit() {}
    virtual void endEdit() {}
};

} // namespace zr::common
