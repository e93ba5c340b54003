#pragma once

#include "common/GridModel.h"

#include <QString>
#include <QTableView>

namespace zr::ui {

// The view of a grid's model (common::GridModel): row 0 of the grid is the horizontal header,
// rows 1.. the body, and the view shares the model's current row. It reads what it shows and
// writes into its model as a user typing does.
class StringGrid : public QTableView {
    Q_OBJECT
public:
    // Shows a model that outlives the view.
    explicit StringGrid(common::GridModel& model, QWidget* parent = nullptr);

    common::GridModel& gridModel() const { return *model_; }

    int colCount() const { return model_->columnCount(); }
    int rowCountWithHeader() const { return model_->rowCount() + 1; }
    void setRowCountWithHeader(int rows);

    QString cell(int column, int row) const;
    void setCell(int column, int row, const QString& text);
    void removeRow(int row) { model_->removeRows(row - 1, 1); }

    void setColumnWidths(std::initializer_list<int> widths);
    void setRowHeight(int height);
    void setEditable(bool editable);

    int currentGridRow() const { return model_->currentRow() + 1; }
    void setCurrentGridRow(int row) { model_->setCurrentRow(row - 1); }
    void redraw() { model_->redraw(); }

protected:
    void rowsInserted(const QModelIndex& parent, int start, int end) override;

protected Q_SLOTS:
    // Takes the place of the view's own handler of the row count (the vertical header is
    // connected to the most derived slot of this name): rows appended at the end repaint only
    // what they uncover, so a long table does not repaint its whole viewport per written row.
    void rowCountChanged(int oldCount, int newCount);

private:
    common::GridModel* model_;
    int appendedAt_ = -1;
};

} // namespace zr::ui
