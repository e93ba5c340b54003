#include "history/views/ControlChartView.h"

#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>

namespace zr::history {

ControlChartView::ControlChartView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("controlChart"));
    setMinimumSize(480, 360);
    setAttribute(Qt::WA_OpaquePaintEvent);
    painter_.setFont(font());
}

void ControlChartView::setData(const ControlChartData* charts, const QString& title) {
    painter_.setData(charts);
    painter_.setTitle(title);
    update();
}

void ControlChartView::setPointDescription(std::function<QString(int point)> describe) {
    describe_ = std::move(describe);
}

void ControlChartView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter_.paint(painter, rect());
}

bool ControlChartView::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const std::optional<int> point = painter_.pointAt(help->pos(), rect());
        if (point && describe_) {
            QToolTip::showText(help->globalPos(), describe_(*point), this);
        } else {
            QToolTip::hideText();
            event->ignore();
        }
        return true;
    }
    return QWidget::event(event);
}

} // namespace zr::history
