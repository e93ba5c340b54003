#pragma once

#include "common/TextGrid.h"

#include <QAbstractTableModel>
#include <QItemSelectionModel>
#include <QStringList>
#include <vector>

namespace zr::common {

// The texts of a grid, held apart from any screen: the controllers write and read it as a
// TextGrid, a view shows it as a table model whose header row is the horizontal header. The
// current row lives in the model's own selection, which a view shares, so that what the user
// clicks and what the logic deletes are the same row.
class TextTableModel : public QAbstractTableModel, public TextGrid {
    Q_OBJECT
public:
    TextTableModel(int columns, int rowsWithHeader, QObject* parent = nullptr);

    // TextGrid
    int colCount() const override { return columns_; }
    int rowCountWithHeader() const override { return static_cast<int>(rows_.size()) + 1; }
    void setRowCountWithHeader(int rows) override;
    QString cell(int column, int row) const override;
    void setCell(int column, int row, const QString& text) override;
    void removeRow(int row) override;
    int currentGridRow() const override;
    void setCurrentGridRow(int row) override;
    void redraw() override { emit redrawRequested(); }
    void beginEdit() override;
    void endEdit() override;

    // QAbstractTableModel
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool insertRows(int row, int count, const QModelIndex& parent = {}) override;

    QItemSelectionModel& selection() { return selection_; }

signals:
    // Marks drawn from outside the cells changed; views paint again.
    void redrawRequested();
    // The outermost edit opened and closed; the changes signalled between them are one.
    void editBegun();
    void editEnded();

private:
    bool inBody(int column, int row) const;

    int columns_;
    int openEdits_ = 0;
    QStringList emptyRow_;
    QStringList header_;
    std::vector<QStringList> rows_;
    QItemSelectionModel selection_{this};
};

} // namespace zr::common
