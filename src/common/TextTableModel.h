#pragma once

#include "common/GridModel.h"
#include "common/TextGrid.h"

#include <QStringList>
#include <vector>

namespace zr::common {

// The texts of a grid, held apart from any screen: the controllers write and read it as a
// TextGrid, a view shows it as a table model whose header row is the horizontal header.
class TextTableModel : public GridModel, public TextGrid {
    Q_OBJECT
public:
    TextTableModel(int columns, int rowsWithHeader, QObject* parent = nullptr);

    // TextGrid
    int colCount() const override { return columnCount(); }
    int rowCountWithHeader() const override { return static_cast<int>(rows_.size()) + 1; }
    void setRowCountWithHeader(int rows) override;
    QString cell(int column, int row) const override;
    void setCell(int column, int row, const QString& text) override;
    void removeRow(int row) override;
    int currentGridRow() const override { return currentRow() + 1; }
    void setCurrentGridRow(int row) override { setCurrentRow(row - 1); }
    void redraw() override { GridModel::redraw(); }
    void beginEdit() override { GridModel::beginEdit(); }
    void endEdit() override { GridModel::endEdit(); }

    // QAbstractTableModel
    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    bool insertRows(int row, int count, const QModelIndex& parent = {}) override;
    bool removeRows(int row, int count, const QModelIndex& parent = {}) override;

private:
    bool inBody(int column, int row) const;

    QStringList emptyRow_;
    std::vector<QStringList> rows_;
};

} // namespace zr::common
