#include "records/views/StoredValuesBlock.h"

#include "ui/StringGrid.h"
#include "ui/ToolBars.h"

#include <QMenu>
#include <QToolBar>

namespace zr::records {

namespace {
constexpr QSize kButton(25, 23);
}

StoredValuesBlock::StoredValuesBlock(common::GridModel& rows, QWidget* parent)
    : QGroupBox(QStringLiteral("Сохраненные значения прибора"), parent) {
    setObjectName(QStringLiteral("GroupBox1"));
    resize(273, 281);

    toolBar_ = ui::makeToolBar(QStringLiteral("ToolBar1"), this);
    toolBar_->setGeometry(2, 15, 269, 29);
    ui::addToolButton(toolBar_, QStringLiteral("ToolButton1"), QStringLiteral("Добавить"),
                      ui::IconKind::Add, kButton);
    ui::addToolButton(toolBar_, QStringLiteral("ToolButton2"),
                      QStringLiteral("Удалить все значения"), ui::IconKind::DeleteAll, kButton);
    ui::addToolButton(toolBar_, QStringLiteral("ToolButton4"), QString(), ui::IconKind::MoveToTable,
                      kButton);
    ui::addToolGap(toolBar_, 8);
    ui::addToolGap(toolBar_, 158);
    ui::addToolButton(toolBar_, QStringLiteral("ToolButton3"), QStringLiteral("Получить"),
                      ui::IconKind::Fetch, kButton);

    grid_ = new ui::StringGrid(rows, this);
    grid_->setObjectName(QStringLiteral("StringGrid2"));
    grid_->setGeometry(2, 44, 269, 235);
    grid_->setColumnWidths({40, 100, 60, 60});
    grid_->setRowHeight(20);
    grid_->setEditable(false);
    grid_->setSelectionMode(QAbstractItemView::ContiguousSelection);

    popup_ = new QMenu(this);
    popup_->setObjectName(QStringLiteral("PopupMenu1"));
    ui::addMenuItem(popup_, QStringLiteral("N2"), QStringLiteral("Добавить"), ui::IconKind::Add);
    ui::addMenuItem(popup_, QStringLiteral("N4"), QStringLiteral("Удалить все"),
                    ui::IconKind::DeleteAll);
    ui::addMenuItem(popup_, QStringLiteral("N5"), QStringLiteral("Перенести все в таблицу"),
                    ui::IconKind::MoveToTable);
    popup_->addSeparator();
    ui::addMenuItem(popup_, QStringLiteral("N11"), QStringLiteral("Обновить"),
                    ui::IconKind::Refresh);
    ui::attachContextMenu(grid_, popup_);
}

} // namespace zr::records
