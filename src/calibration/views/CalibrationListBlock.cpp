#include "calibration/views/CalibrationListBlock.h"

#include "calibration/views/CalibrationInForceDelegate.h"
#include "ui/StringGrid.h"
#include "ui/ToolBars.h"

#include <QMenu>
#include <QToolBar>

namespace zr::calibration {

namespace {
constexpr QSize kButton(24, 23);
}

CalibrationListBlock::CalibrationListBlock(common::GridModel& model, QWidget* parent)
    : QGroupBox(QStringLiteral("Список калибровок сохраненных в приборе"), parent) {
    setObjectName(QStringLiteral("GroupBox2"));
    resize(273, 265);

    toolBar_ = ui::makeToolBar(QStringLiteral("ToolBar2"), this);
    toolBar_->setGeometry(2, 15, 269, 29);
    ui::addToolButton(toolBar_, QStringLiteral("ToolButton5"), QStringLiteral("Добавить..."),
                      ui::IconKind::Add, kButton);
    ui::addToolGap(toolBar_, 18);
    ui::addToolButton(toolBar_, QStringLiteral("ToolButton7"),
                      QStringLiteral("Удалить все калибровки с прибора"), ui::IconKind::DeleteAll,
                      kButton);
    ui::addToolGap(toolBar_, 17);
    ui::addToolButton(toolBar_, QStringLiteral("ToolButton9"),
                      QStringLiteral("Сделать текущей выбранную калибровку"),
                      ui::IconKind::ApplySelected, kButton);
    ui::addToolButton(toolBar_, QStringLiteral("ToolButton14"),
                      QStringLiteral("Отменить текущую калибровку"), ui::IconKind::Cancel, kButton);
    ui::addToolGap(toolBar_, 112);
    ui::addToolButton(toolBar_, QStringLiteral("ToolButton13"), QStringLiteral("Обновить"),
                      ui::IconKind::Refresh, kButton);

    grid_ = new ui::StringGrid(model, this);
    grid_->setObjectName(QStringLiteral("StringGrid1"));
    grid_->setGeometry(2, 44, 269, 219);
    // The widths the grid is drawn with, in force from its first paint.
    grid_->setColumnWidths({40, 120, 40, 40});
    grid_->setRowHeight(20);
    grid_->setEditable(true);
    grid_->setItemDelegateForColumn(
        0,
        new CalibrationInForceDelegate([this] { return rowInForce_ ? rowInForce_() : 0; }, grid_));

    popup_ = new QMenu(this);
    popup_->setObjectName(QStringLiteral("PopupMenu2"));
    ui::addMenuItem(popup_, QStringLiteral("N6"), QStringLiteral("Добавить"), ui::IconKind::Add);
    ui::addMenuItem(popup_, QStringLiteral("N8"), QStringLiteral("Удалить все с прибора"),
                    ui::IconKind::DeleteAll);
    popup_->addSeparator();
    ui::addMenuItem(popup_, QStringLiteral("N3"), QStringLiteral("Применить выбранную калибровку"),
                    ui::IconKind::ApplySelected);
    ui::addMenuItem(popup_, QStringLiteral("N24"), QStringLiteral("Отменить текущую калибровку"),
                    ui::IconKind::Cancel);
    popup_->addSeparator();
    ui::addMenuItem(popup_, QStringLiteral("N10"), QStringLiteral("Обновить"),
                    ui::IconKind::Refresh);
    ui::attachContextMenu(grid_, popup_);
}

void CalibrationListBlock::setRowInForce(std::function<int()> rowInForce) {
    rowInForce_ = std::move(rowInForce);
    grid_->viewport()->update();
}

} // namespace zr::calibration
