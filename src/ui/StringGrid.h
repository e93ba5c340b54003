#pragma once

#include "common/TextGrid.h"
#include "common/TextTableModel.h"

#include <QString>
#include <QTableView>

namespace zr::ui {

// The view of a grid of texts (common::TextTableModel): row 0 of the model is the horizontal
// header, rows 1.. the body, and the view shares the model's current row. As a TextGrid it
// reads and writes its model.
class StringGrid : public QTableView, public common::TextGrid {
    Q_OBJECT
public:
    // Shows a model that outlives the view.
    explicit StringGrid(common::TextTableModel& model, QWidget* parent = nullptr);
    // Shows a model of its own.
    StringGrid(int columns, int rows, QWidget* parent = nullptr);

    common::TextTableModel& texts() const { return *texts_; }

    int colCount() const override { return texts_->colCount(); }
    int rowCountWithHeader() const override { return texts_->rowCountWithHeader(); }
    void setRowCountWithHeader(int rows) override { texts_->setRowCountWithHeader(rows); }

    QString cell(int column, int row) const override { return texts_->cell(column, row); }
    void setCell(int column, int row, const QString& text) override {
        texts_->setCell(column, row, text);
    }
    void removeRow(int row) override { texts_->removeRow(row); }

    void setColumnWidths(std::initializer_list<int> widths);
    void setRowHeight(int height);
    void setEditable(bool editable);

    int currentGridRow() const override { return texts_->currentGridRow(); }
    void setCurrentGridRow(int row) override { texts_->setCurrentGridRow(row); }
    void redraw() override { texts_->redraw(); }
    void beginEdit() override { texts_->beginEdit(); }
    void endEdit() override { texts_->endEdit(); }

protected:
    void rowsInserted(const QModelIndex& parent, int start, int end) override;

protected Q_SLOTS:
    // Takes the place of the view's own handler of the row count (the vertical header is
    // connected to the most derived slot of this name): rows appended at the end repaint only
    // what they uncover, so a long table does not repaint its whole viewport per written row.
    void rowCountChanged(int oldCount, int newCount);

private:
    common::TextTableModel* texts_;
    int appendedAt_ = -1;
};

} // namespace zr::ui
