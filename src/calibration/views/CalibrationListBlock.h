#pragma once

#include <QGroupBox>
#include <functional>

class QMenu;
class QToolBar;

namespace zr::common {
class GridModel;
}

namespace zr::ui {
class StringGrid;
}

namespace zr::calibration {

// The block "Список калибровок сохраненных в приборе" (GroupBox2 with ToolBar2, StringGrid1
// and its context menu PopupMenu2). The grid's cells are editable; what is typed only changes
// what is shown, never the calibrations held for the meter.
class CalibrationListBlock : public QGroupBox {
    Q_OBJECT
public:
    // Shows the rows of `model`, which outlives the view.
    explicit CalibrationListBlock(common::GridModel& model, QWidget* parent = nullptr);

    ui::StringGrid* grid() const { return grid_; }
    // Where the grid learns which row holds the calibration in force (0 for none) when it paints.
    void setRowInForce(std::function<int()> rowInForce);
    QMenu* popupMenu() const { return popup_; }

private:
    QToolBar* toolBar_;
    ui::StringGrid* grid_;
    QMenu* popup_;
    std::function<int()> rowInForce_;
};

} // namespace zr::calibration
