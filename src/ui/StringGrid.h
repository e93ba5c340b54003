#pragma once

#include <QString>
#include <QTableWidget>

namespace zr::ui {

// A text grid addressed like the program's designed grids: (column, row) with row 0 the fixed
// header row shown as the horizontal header, rows 1.. the body.
class StringGrid : public QTableWidget {
    Q_OBJECT
public:
    StringGrid(int columns, int rows, QWidget* parent = nullptr);

    int colCount() const { return columnCount(); }
    // Rows including the header row.
    int rowCountWithHeader() const { return rowCount() + 1; }
    void setRowCountWithHeader(int rows);

    QString cell(int column, int row) const;
    void setCell(int column, int row, const QString& text);

    void setColumnWidths(std::initializer_list<int> widths);
    void setRowHeight(int height);
    void setEditable(bool editable);

    // The current row in grid numbering (1 = first body row), 0 when none.
    int currentGridRow() const;
    void setCurrentGridRow(int row);
};

} // namespace zr::ui
