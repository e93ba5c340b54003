#pragma once

#include <QWidget>

class QComboBox;
class QHeaderView;
class QStandardItemModel;

namespace zr::common {
class GridModel;
}

namespace zr::ui {
class StringGrid;
}

namespace zr::records {

class SelectionLists;

// The page "Таблица": the four selection lists, the header strip used as a button row and the
// measurement table.
class TablePage : public QWidget {
    Q_OBJECT
public:
    // Shows the grid model `rows`, which outlives the view.
    explicit TablePage(common::GridModel& rows, QWidget* parent = nullptr);

    QComboBox* comboBox(int index) const; // 1..4
    QHeaderView* headerControl() const { return header_; }
    ui::StringGrid* grid() const { return grid_; }

    // Shows the four lists in the combo boxes and follows their selections.
    void bindLists(SelectionLists& lists);

signals:
    void sectionClicked(int section);
    // The user picked an item of list 1..4 (the list's selection already follows it).
    void listItemPicked(int list);

private:
    QComboBox* combos_[4] = {};
    QHeaderView* header_;
    QStandardItemModel* headerModel_;
    ui::StringGrid* grid_;
};

} // namespace zr::records
