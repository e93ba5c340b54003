#include "ui/ElidingHeader.h"

#include <QStyle>
#include <QStyleOptionHeader>

namespace zr::ui {

ElidingHeader::ElidingHeader(Qt::Orientation orientation, QWidget* parent)
    : QHeaderView(orientation, parent) {}

void ElidingHeader::initStyleOptionForIndex(QStyleOptionHeader* option, int logicalIndex) const {
    QHeaderView::initStyleOptionForIndex(option, logicalIndex);
    if (orientation() != Qt::Horizontal || option->text.isEmpty()) {
        return;
    }
    // The label's share of the section, as the style lays it out: a margin on each side and the
    // icon with its own margin.
    const int margin = style()->pixelMetric(QStyle::PM_HeaderMargin, option, this);
    int room = sectionSize(logicalIndex) - 2 * margin;
    if (!option->icon.isNull()) {
        room -= style()->pixelMetric(QStyle::PM_SmallIconSize, option, this) + margin;
    }
    option->text = option->fontMetrics.elidedText(option->text, Qt::ElideRight, qMax(0, room));
}

} // namespace zr::ui
