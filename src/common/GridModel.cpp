#include "common/GridModel.h"

namespace zr::common {

GridModel::GridModel(int columns, QObject* parent)
    : QAbstractTableModel(parent), columns_(columns > 0 ? columns : 0),
      headers_(columns_, QString()) {}

void GridModel::setHeaders(const QStringList& headers) {
    for (int c = 0; c < columns_ && c < headers.size(); ++c) {
        headers_[c] = headers.at(c);
    }
    if (columns_ > 0) {
        emit headerDataChanged(Qt::Horizontal, 0, columns_ - 1);
    }
}

int GridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : columns_;
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
        section < columns_) {
        return headers_.at(section);
    }
    return QAbstractTableModel::headerData(section, orientation, role);
}

bool GridModel::setHeaderData(int section, Qt::Orientation orientation, const QVariant& value,
                              int role) {
    if (orientation != Qt::Horizontal || (role != Qt::EditRole && role != Qt::DisplayRole) ||
        section < 0 || section >= columns_) {
        return false;
    }
    headers_[section] = value.toString();
    emit headerDataChanged(Qt::Horizontal, section, section);
    return true;
}

Qt::ItemFlags GridModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) {
        return Qt::NoItemFlags;
    }
    return Qt::ItemIsSelectable | Qt::ItemIsEditable | Qt::ItemIsEnabled;
}

int GridModel::currentRow() const {
    const QModelIndex current = selection_.currentIndex();
    return current.isValid() ? current.row() : -1;
}

void GridModel::setCurrentRow(int row) {
    if (row >= 0 && row < rowCount()) {
        const QModelIndex current = selection_.currentIndex();
        selection_.setCurrentIndex(index(row, current.isValid() ? current.column() : 0),
                                   QItemSelectionModel::ClearAndSelect);
    }
}

void GridModel::beginEdit() {
    if (openEdits_++ == 0) {
        emit editBegun();
    }
}

void GridModel::endEdit() {
    if (openEdits_ > 0 && --openEdits_ == 0) {
        emit editEnded();
    }
}

} // namespace zr::common
