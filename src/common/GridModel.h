#pragma once

#include <QAbstractTableModel>
#include <QItemSelectionModel>
#include <QStringList>

namespace zr::common {

// What every grid's model has apart from what its rows hold: the header texts, the current row
// (kept in the model's own selection, which views share, so that what the user clicks and what
// the logic acts on are the same row), repaints asked for from outside the cells, and changes
// grouped into one edit for whoever records the model.
class GridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit GridModel(int columns, QObject* parent = nullptr);

    void setHeaders(const QStringList& headers);

    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    bool setHeaderData(int section, Qt::Orientation orientation, const QVariant& value,
                       int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    QItemSelectionModel& selection() { return selection_; }
    // The current row, -1 when none.
    int currentRow() const;
    // Makes `row` current and selected, in the current column; ignored outside the rows.
    void setCurrentRow(int row);

    // Marks drawn from outside the cells changed (the calibration in force).
    void redraw() { emit redrawRequested(); }

    // Several changes that belong together (a written row, a copy of stored values), so that
    // whoever records the model keeps them as one. Nested pairs count as one.
    void beginEdit();
    void endEdit();

signals:
    void redrawRequested();
    // The outermost edit opened and closed; the changes signalled between them are one.
    void editBegun();
    void editEnded();

private:
    int columns_;
    int openEdits_ = 0;
    QStringList headers_;
    QItemSelectionModel selection_{this};
};

// Holds an edit of `model` open for its scope, also when the scope is left by an exception.
class EditGroup {
public:
    explicit EditGroup(GridModel& model) : model_(model) { model_.beginEdit(); }
    ~EditGroup() { model_.endEdit(); }
    EditGroup(const EditGroup&) = delete;
    EditGroup& operator=(const EditGroup&) = delete;

private:
    GridModel& model_;
};

} // namespace zr::common
