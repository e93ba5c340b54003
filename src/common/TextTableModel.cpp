#include "common/TextTableModel.h"

namespace zr::common {

namespace {
std::size_t at(int i) {
    return static_cast<std::size_t>(i);
}
} // namespace

TextTableModel::TextTableModel(int columns, int rowsWithHeader, QObject* parent)
    : GridModel(columns, parent), emptyRow_(columnCount(), QString()) {
    rows_.resize(at(rowsWithHeader > 1 ? rowsWithHeader - 1 : 0), emptyRow_);
}

void TextTableModel::setRowCountWithHeader(int rows) {
    const int body = rows > 1 ? rows - 1 : 0;
    const int now = rowCount();
    if (body > now) {
        insertRows(now, body - now);
    } else if (body < now) {
        removeRows(body, now - body);
    }
}

QString TextTableModel::cell(int column, int row) const {
    if (column < 0 || column >= columnCount()) {
        return {};
    }
    if (row == 0) {
        return headerData(column, Qt::Horizontal).toString();
    }
    return inBody(column, row) ? rows_[at(row - 1)].at(column) : QString();
}

void TextTableModel::setCell(int column, int row, const QString& text) {
    if (row == 0) {
        setHeaderData(column, Qt::Horizontal, text);
    } else if (inBody(column, row)) {
        rows_[at(row - 1)][column] = text;
        const QModelIndex changed = index(row - 1, column);
        emit dataChanged(changed, changed, {Qt::DisplayRole, Qt::EditRole});
    }
}

void TextTableModel::removeRow(int row) {
    removeRows(row - 1, 1);
}

int TextTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

QVariant TextTableModel::data(const QModelIndex& index, int role) const {
    if ((role != Qt::DisplayRole && role != Qt::EditRole) ||
        !inBody(index.column(), index.row() + 1)) {
        return {};
    }
    return rows_[at(index.row())].at(index.column());
}

bool TextTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || !inBody(index.column(), index.row() + 1)) {
        return false;
    }
    setCell(index.column(), index.row() + 1, value.toString());
    return true;
}

bool TextTableModel::insertRows(int row, int count, const QModelIndex& parent) {
    if (parent.isValid() || row < 0 || row > rowCount() || count < 1) {
        return false;
    }
    beginInsertRows({}, row, row + count - 1);
    // Rows share the empty row's texts until one of their cells is written.
    rows_.insert(rows_.begin() + row, at(count), emptyRow_);
    endInsertRows();
    return true;
}

bool TextTableModel::removeRows(int row, int count, const QModelIndex& parent) {
    if (parent.isValid() || row < 0 || count < 1 || row + count > rowCount()) {
        return false;
    }
    beginRemoveRows({}, row, row + count - 1);
    rows_.erase(rows_.begin() + row, rows_.begin() + row + count);
    endRemoveRows();
    return true;
}

bool TextTableModel::inBody(int column, int row) const {
    return column >= 0 && column < columnCount() && row >= 1 && row <= rowCount();
}

} // namespace zr::common
