#pragma once

#include <QGroupBox>

class QMenu;
class QToolBar;

namespace zr::ui {
class StringGrid;
}

namespace zr::calibration {

// The block "Список калибровок сохраненных в приборе" (GroupBox2 with ToolBar2, StringGrid1
// and its context menu PopupMenu2).
class CalibrationListBlock : public QGroupBox {
    Q_OBJECT
public:
    explicit CalibrationListBlock(QWidget* parent = nullptr);

    ui::StringGrid* grid() const { return grid_; }
    QMenu* popupMenu() const { return popup_; }

private:
    QToolBar* toolBar_;
    ui::StringGrid* grid_;
    QMenu* popup_;
};

} // namespace zr::calibration
