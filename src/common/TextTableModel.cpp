#include "common/TextTableModel.h"

namespace zr::common {

namespace {
std::size_t at(int i) {
    return static_cast<std::size_t>(i);
}
} // namespace

TextTableModel::TextTableModel(int columns, int rowsWithHeader, QObject* parent)
    : QAbstractTableModel(parent), columns_(columns > 0 ? columns : 0) {
    for (int c = 0; c < columns_; ++c) {
        emptyRow_ << QString();
    }
    header_ = emptyRow_;
    rows_.resize(at(rowsWithHeader > 1 ? rowsWithHeader - 1 : 0), emptyRow_);
}

void TextTableModel::setRowCountWithHeader(int rows) {
    const int body = rows > 1 ? rows - 1 : 0;
    const int now = rowCount();
    if (body > now) {
        beginInsertRows({}, now, body - 1);
        // Rows share the empty row's texts until one of their cells is written.
        rows_.resize(at(body), emptyRow_);
        endInsertRows();
    } else if (body < now) {
        beginRemoveRows({}, body, now - 1);
        rows_.resize(at(body));
        endRemoveRows();
    }
}

QString TextTableModel::cell(int column, int row) const {
    if (column < 0 || column >= columns_) {
        return {};
    }
    if (row == 0) {
        return header_.at(column);
    }
    return inBody(column, row) ? rows_[at(row - 1)].at(column) : QString();
}

void TextTableModel::setCell(int column, int row, const QString& text) {
    if (column < 0 || column >= columns_) {
        return;
    }
    if (row == 0) {
        header_[column] = text;
        emit headerDataChanged(Qt::Horizontal, column, column);
    } else if (inBody(column, row)) {
        rows_[at(row - 1)][column] = text;
        const QModelIndex changed = index(row - 1, column);
        emit dataChanged(changed, changed, {Qt::DisplayRole, Qt::EditRole});
    }
}

void TextTableModel::removeRow(int row) {
    if (row >= 1 && row <= rowCount()) {
        beginRemoveRows({}, row - 1, row - 1);
        rows_.erase(rows_.begin() + (row - 1));
        endRemoveRows();
    }
}

int TextTableModel::currentGridRow() const {
    const QModelIndex current = selection_.currentIndex();
    return current.isValid() ? current.row() + 1 : 0;
}

void TextTableModel::setCurrentGridRow(int row) {
    if (row >= 1 && row <= rowCount()) {
        const QModelIndex current = selection_.currentIndex();
        selection_.setCurrentIndex(index(row - 1, current.isValid() ? current.column() : 0),
                                   QItemSelectionModel::ClearAndSelect);
    }
}

void TextTableModel::beginEdit() {
    if (openEdits_++ == 0) {
        emit editBegun();
    }
}

void TextTableModel::endEdit() {
    if (openEdits_ > 0 && --openEdits_ == 0) {
        emit editEnded();
    }
}

int TextTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int TextTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : columns_;
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

QVariant TextTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
        section < columns_) {
        return header_.at(section);
    }
    return QAbstractTableModel::headerData(section, orientation, role);
}

Qt::ItemFlags TextTableModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) {
        return Qt::NoItemFlags;
    }
    return Qt::ItemIsSelectable | Qt::ItemIsEditable | Qt::ItemIsEnabled;
}

bool TextTableModel::insertRows(int row, int count, const QModelIndex& parent) {
    if (parent.isValid() || row < 0 || row > rowCount() || count < 1) {
        return false;
    }
    beginInsertRows({}, row, row + count - 1);
    rows_.insert(rows_.begin() + row, at(count), emptyRow_);
    endInsertRows();
    return true;
}

bool TextTableModel::inBody(int column, int row) const {
    return column >= 0 && column < columns_ && row >= 1 && row <= rowCount();
}

} // namespace zr::common
