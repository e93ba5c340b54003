#pragma once

#include "ui/Icons.h"

#include <QSize>
#include <QString>

class QMenu;
class QAction;
class QAbstractScrollArea;
class QToolBar;
class QToolButton;
class QWidget;

namespace zr::ui {

// A flat, non-wrapping tool bar of the given height at the top of `parent`'s client area.
QToolBar* makeToolBar(const QString& name, QWidget* parent);
QToolButton* addToolButton(QToolBar* bar, const QString& name, const QString& toolTip,
                           IconKind icon, QSize size);
void addToolGap(QToolBar* bar, int width);

// A named menu item with an icon.
QAction* addMenuItem(QMenu* menu, const QString& name, const QString& caption, IconKind icon);

// Shows `menu` on a right click into the view.
void attachContextMenu(QAbstractScrollArea* view, QMenu* menu);

} // namespace zr::ui
