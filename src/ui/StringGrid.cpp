#include "ui/StringGrid.h"

#include "ui/ElidingHeader.h"

#include <QHeaderView>
#include <QScrollBar>

#include <algorithm>

namespace zr::ui {

StringGrid::StringGrid(common::GridModel& model, QWidget* parent)
    : QTableView(parent), model_(&model) {
    setModel(&model);
    setHorizontalHeader(new ElidingHeader(Qt::Horizontal, this));
    // Made after the model is set, so that its row count reaches this class's rowCountChanged.
    setVerticalHeader(new QHeaderView(Qt::Vertical, this));
    verticalHeader()->hide();
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setStretchLastSection(false);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setSelectionMode(QAbstractItemView::SingleSelection);
    QItemSelectionModel* own = selectionModel();
    setSelectionModel(&model.selection());
    delete own;
    connect(&model, &common::GridModel::redrawRequested, viewport(), qOverload<>(&QWidget::update));
}

void StringGrid::setRowCountWithHeader(int rows) {
    const int body = std::max(rows - 1, 0);
    const int now = model_->rowCount();
    if (body > now) {
        model_->insertRows(now, body - now);
    } else if (body < now) {
        model_->removeRows(body, now - body);
    }
}

QString StringGrid::cell(int column, int row) const {
    if (column < 0 || column >= model_->columnCount()) {
        return {};
    }
    if (row == 0) {
        return model_->headerData(column, Qt::Horizontal).toString();
    }
    return model_->data(model_->index(row - 1, column)).toString();
}

void StringGrid::setCell(int column, int row, const QString& text) {
    if (row == 0) {
        model_->setHeaderData(column, Qt::Horizontal, text);
    } else {
        model_->setData(model_->index(row - 1, column), text);
    }
}

void StringGrid::rowsInserted(const QModelIndex& parent, int start, int end) {
    appendedAt_ = start == model()->rowCount(parent) - (end - start + 1) ? start : -1;
    QTableView::rowsInserted(parent, start, end);
}

void StringGrid::rowCountChanged(int oldCount, int newCount) {
    const bool appended = newCount > oldCount && appendedAt_ == oldCount;
    appendedAt_ = -1;
    if (!appended) {
        QTableView::rowCountChanged(oldCount, newCount);
        return;
    }
    // Laid out at once (the view's scroll calls must see the new range), and only the rows
    // from the first appended one down are painted again.
    updateGeometries();
    if (verticalScrollMode() == ScrollPerItem) {
        verticalHeader()->setOffsetToSectionPosition(verticalScrollBar()->value());
    } else {
        verticalHeader()->setOffset(verticalScrollBar()->value());
    }
    const int top = std::max(0, rowViewportPosition(oldCount));
    if (top < viewport()->height()) {
        viewport()->update(0, top, viewport()->width(), viewport()->height() - top);
    }
}

void StringGrid::setColumnWidths(std::initializer_list<int> widths) {
    int c = 0;
    for (int w : widths) {
        setColumnWidth(c++, w);
    }
}

void StringGrid::setRowHeight(int height) {
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setDefaultSectionSize(height);
    horizontalHeader()->setFixedHeight(height);
}

void StringGrid::setEditable(bool editable) {
    setEditTriggers(editable
                        ? QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                              QAbstractItemView::AnyKeyPressed
                        : QAbstractItemView::NoEditTriggers);
}

} // namespace zr::ui
