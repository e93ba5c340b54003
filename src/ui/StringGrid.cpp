#include "ui/StringGrid.h"

#include "ui/ElidingHeader.h"

#include <QHeaderView>
#include <QScrollBar>

#include <algorithm>

namespace zr::ui {

StringGrid::StringGrid(int columns, int rows, QWidget* parent)
    : QTableWidget(rows > 0 ? rows - 1 : 0, columns, parent) {
    setHorizontalHeader(new ElidingHeader(Qt::Horizontal, this));
    // Made here, after the view, so that its row count reaches this class's rowCountChanged.
    setVerticalHeader(new QHeaderView(Qt::Vertical, this));
    verticalHeader()->hide();
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setStretchLastSection(false);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setSelectionMode(QAbstractItemView::SingleSelection);
    for (int c = 0; c < columns; ++c) {
        setHorizontalHeaderItem(c, new QTableWidgetItem(QString()));
    }
}

void StringGrid::setRowCountWithHeader(int rows) {
    setRowCount(rows > 0 ? rows - 1 : 0);
}

QString StringGrid::cell(int column, int row) const {
    if (column < 0 || column >= columnCount()) {
        return {};
    }
    if (row == 0) {
        const QTableWidgetItem* header = horizontalHeaderItem(column);
        return header ? header->text() : QString();
    }
    const QTableWidgetItem* it = item(row - 1, column);
    return it ? it->text() : QString();
}

void StringGrid::setCell(int column, int row, const QString& text) {
    if (column < 0 || column >= columnCount() || row < 0 || row > rowCount()) {
        return;
    }
    if (row == 0) {
        horizontalHeaderItem(column)->setText(text);
        return;
    }
    QTableWidgetItem* it = item(row - 1, column);
    if (!it) {
        it = new QTableWidgetItem(text);
        setItem(row - 1, column, it);
    } else {
        it->setText(text);
    }
}

void StringGrid::removeRow(int row) {
    if (row >= 1 && row <= rowCount()) {
        QTableWidget::removeRow(row - 1);
    }
}

void StringGrid::rowsInserted(const QModelIndex& parent, int start, int end) {
    appendedAt_ = start == model()->rowCount(parent) - (end - start + 1) ? start : -1;
    QTableWidget::rowsInserted(parent, start, end);
}

void StringGrid::rowCountChanged(int oldCount, int newCount) {
    const bool appended = newCount > oldCount && appendedAt_ == oldCount;
    appendedAt_ = -1;
    if (!appended) {
        QTableWidget::rowCountChanged(oldCount, newCount);
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

int StringGrid::currentGridRow() const {
    const int r = currentRow();
    return r < 0 ? 0 : r + 1;
}

void StringGrid::setCurrentGridRow(int row) {
    if (row >= 1 && row <= rowCount()) {
        setCurrentCell(row - 1, currentColumn() < 0 ? 0 : currentColumn());
    }
}

} // namespace zr::ui
