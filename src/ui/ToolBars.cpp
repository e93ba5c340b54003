#include "ui/ToolBars.h"

#include <QAbstractScrollArea>
#include <QAction>
#include <QLayout>
#include <QMenu>
#include <QToolBar>
#include <QToolButton>

namespace zr::ui {

QToolBar* makeToolBar(const QString& name, QWidget* parent) {
    auto* bar = new QToolBar(parent);
    bar->setObjectName(name);
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->setContentsMargins(0, 0, 0, 0);
    bar->layout()->setSpacing(0);
    bar->layout()->setContentsMargins(0, 0, 0, 0);
    return bar;
}

QToolButton* addToolButton(QToolBar* bar, const QString& name, const QString& toolTip,
                           IconKind iconKind, QSize size) {
    auto* button = new QToolButton(bar);
    button->setObjectName(name);
    button->setToolTip(toolTip);
    button->setIcon(icon(iconKind));
    button->setAutoRaise(true);
    button->setFixedSize(size);
    bar->addWidget(button);
    return button;
}

void addToolGap(QToolBar* bar, int width) {
    auto* gap = new QWidget(bar);
    gap->setFixedWidth(width);
    bar->addWidget(gap);
}

QAction* addMenuItem(QMenu* menu, const QString& name, const QString& caption, IconKind iconKind) {
    QAction* action = menu->addAction(icon(iconKind), caption);
    action->setObjectName(name);
    return action;
}

void attachContextMenu(QAbstractScrollArea* view, QMenu* menu) {
    view->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(view, &QWidget::customContextMenuRequested, menu,
                     [view, menu](QPoint pos) { menu->popup(view->viewport()->mapToGlobal(pos)); });
}

} // namespace zr::ui
