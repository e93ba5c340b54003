#pragma once

#include "common/TextGrid.h"

#include <QString>
#include <QTableWidget>

namespace zr::ui {

// A text grid addressed like the program's designed grids: (column, row) with row 0 the fixed
// header row shown as the horizontal header, rows 1.. the body.
class StringGrid : public QTableWidget, public common::TextGrid {
    Q_OBJECT
public:
    StringGrid(int columns, int rows, QWidget* parent = nullptr);

    int colCount() const override { return columnCount(); }
    int rowCountWithHeader() const override { return rowCount() + 1; }
    void setRowCountWithHeader(int rows) override;

    QString cell(int column, int row) const override;
    void setCell(int column, int row, const QString& text) override;
    void removeRow(int row) override;

    void setColumnWidths(std::initializer_list<int> widths);
    void setRowHeight(int height);
    void setEditable(bool editable);

    int currentGridRow() const override;
    void setCurrentGridRow(int row) override;
    void redraw() override { viewport()->update(); }

protected:
    void rowsInserted(const QModelIndex& parent, int start, int end) override;

protected Q_SLOTS:
    // Takes the place of the view's own handler of the row count (the vertical header is
    // connected to the most derived slot of this name): rows appended at the end repaint only
    // what they uncover, so a long table does not repaint its whole viewport per written row.
    void rowCountChanged(int oldCount, int newCount);

private:
    int appendedAt_ = -1;
};

} // namespace zr::ui
