#pragma once

#include "common/GridModel.h"

#include <QList>

namespace zr::common {

// A grid's model over typed rows: the rows are the data the program holds and changes, and a
// grid shows each row through cellText, formatted when it paints. What a user types into a cell
// reaches the row through typeIn, which may refuse it. New rows are Row{}.
template <typename Row> class RowModel : public GridModel {
public:
    using GridModel::GridModel;

    const QList<Row>& rows() const { return rows_; }
    // Row `row`, which must exist.
    const Row& row(int row) const { return rows_[row]; }

    void setRow(int row, Row value) {
        if (row < 0 || row >= rowCount()) {
            return;
        }
        rows_[row] = std::move(value);
        emit dataChanged(index(row, 0), index(row, columnCount() - 1),
                         {Qt::DisplayRole, Qt::EditRole});
    }
    // Puts `value` in at `row` (0 to the row count), moving the rows from there down by one.
    void insertRowAt(int row, Row value) {
        if (row < 0 || row > rowCount()) {
            return;
        }
        beginInsertRows({}, row, row);
        rows_.insert(row, std::move(value));
        endInsertRows();
    }
    void appendRow(Row value) { insertRowAt(rowCount(), std::move(value)); }
    void removeRowAt(int row) { removeRows(row, 1); }
    // Grows with new rows or shrinks from the end.
    void setRowCount(int count) {
        if (count > rowCount()) {
            insertRows(rowCount(), count - rowCount());
        } else if (count >= 0 && count < rowCount()) {
            removeRows(count, rowCount() - count);
        }
    }

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : static_cast<int>(rows_.size());
    }
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override {
        if ((role != Qt::DisplayRole && role != Qt::EditRole) || !contains(index)) {
            return {};
        }
        return cellText(rows_[index.row()], index.column());
    }
    bool setData(const QModelIndex& index, const QVariant& value,
                 int role = Qt::EditRole) override {
        if (role != Qt::EditRole || !contains(index)) {
            return false;
        }
        Row typed = rows_[index.row()];
        if (!typeIn(typed, index.column(), value.toString())) {
            return false;
        }
        setRow(index.row(), std::move(typed));
        return true;
    }
    bool insertRows(int row, int count, const QModelIndex& parent = {}) override {
        if (parent.isValid() || row < 0 || row > rowCount() || count < 1) {
            return false;
        }
        beginInsertRows({}, row, row + count - 1);
        rows_.insert(row, count, Row{});
        endInsertRows();
        return true;
    }
    bool removeRows(int row, int count, const QModelIndex& parent = {}) override {
        if (parent.isValid() || row < 0 || count < 1 || row + count > rowCount()) {
            return false;
        }
        beginRemoveRows({}, row, row + count - 1);
        rows_.remove(row, count);
        endRemoveRows();
        return true;
    }

protected:
    // What the grid shows of `row` in `column`.
    virtual QString cellText(const Row& row, int column) const = 0;
    // Changes `row` as typing `text` into `column` does; false keeps the row as it was.
    virtual bool typeIn(Row& row, int column, const QString& text) const {
        static_cast<void>(row);
        static_cast<void>(column);
        static_cast<void>(text);
        return false;
    }

private:
    bool contains(const QModelIndex& index) const {
        return index.isValid() && index.row() < rowCount() && index.column() < columnCount();
    }

    QList<Row> rows_;
};

} // namespace zr::common
