#include "calibration/views/CalibrationInForceDelegate.h"

#include <QPainter>

namespace zr::calibration {

CalibrationInForceDelegate::CalibrationInForceDelegate(std::function<int()> rowInForce,
                                                       QObject* parent)
    : QStyledItemDelegate(parent), rowInForce_(std::move(rowInForce)) {}

void CalibrationInForceDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                       const QModelIndex& index) const {
    QStyledItemDelegate::paint(painter, option, index);
    const int marked = rowInForce_ ? rowInForce_() : 0;
    // Model rows start below the header row: model row 0 is grid row 1.
    if (index.column() != 0 || marked == 0 || index.row() + 1 != marked) {
        return;
    }
    painter->save();
    painter->fillRect(option.rect, QColor(255, 0, 0));
    QFont bold = option.font;
    bold.setBold(true);
    painter->setFont(bold);
    painter->setPen(option.palette.color(QPalette::Text));
    painter->drawText(option.rect, Qt::AlignLeft | Qt::AlignTop, QString::number(marked));
    painter->restore();
}

} // namespace zr::calibration
