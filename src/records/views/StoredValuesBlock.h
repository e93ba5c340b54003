#pragma once

#include <QGroupBox>

class QMenu;
class QToolBar;

namespace zr::common {
class GridModel;
}

namespace zr::ui {
class StringGrid;
}

namespace zr::records {

// The block "Сохраненные значения прибора": the values stored in the meter (GroupBox1 with
// ToolBar1, StringGrid2 and its context menu PopupMenu1).
class StoredValuesBlock : public QGroupBox {
    Q_OBJECT
public:
    // Shows the grid model `rows`, which outlives the view.
    explicit StoredValuesBlock(common::GridModel& rows, QWidget* parent = nullptr);

    ui::StringGrid* grid() const { return grid_; }
    QMenu* popupMenu() const { return popup_; }

private:
    QToolBar* toolBar_;
    ui::StringGrid* grid_;
    QMenu* popup_;
};

} // namespace zr::records
