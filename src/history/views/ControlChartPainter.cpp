#include "history/views/ControlChartPainter.h"

#include "history/QualityTexts.h"
#include "history/views/ChartColors.h"

#include <QFontMetricsF>
#include <QLineF>
#include <QLocale>
#include <QPainter>
#include <QVector>
#include <algorithm>
#include <cmath>

namespace zr::history {

namespace {

using quality::Chart;

constexpr std::array<Chart, 3> kCharts = {Chart::Individuals, Chart::MovingRange, Chart::Ewma};
// Shares of the height: the individuals chart is the one a reader looks at first.
constexpr std::array<double, 3> kPanelShares = {0.42, 0.26, 0.32};
constexpr double kLeftMargin = 58;
constexpr double kRightMargin = 96;
constexpr double kPanelGap = 8;
// Below this many points per pixel column each point gets its own small circle.
constexpr int kPointMarkersPerColumns = 4;
constexpr double kMarkRadius = 4.0;
constexpr double kPointRadius = 2.0;
// How far from the cursor a point is still the one hovered.
constexpr double kReach = 8.0;
// Columns on either side of the cursor searched for the hovered point.
constexpr int kReachColumns = 8;

QString number(double value) {
    return QLocale().toString(value, 'f', 2);
}

void extend(std::pair<double, double>& range, double value) {
    if (std::isfinite(value)) {
        range.first = std::min(range.first, value);
        range.second = std::max(range.second, value);
    }
}

} // namespace

void ControlChartPainter::setData(const ControlChartData* data) {
    data_ = data;
    reduced_ = {};
    ewmaUpper_.clear();
    ewmaLower_.clear();
    ranges_.fill({INFINITY, -INFINITY});
    if (!data_) {
        return;
    }
    const quality::ControlCharts& charts = data_->charts;
    for (std::size_t c = 0; c < kCharts.size(); ++c) {
        for (double value : valuesOf(kCharts[c])) {
            extend(ranges_[c], value);
        }
    }
    if (charts.individuals) {
        extend(ranges_[0], charts.individuals->lower);
        extend(ranges_[0], charts.individuals->upper);
    }
    if (charts.movingRange) {
        extend(ranges_[1], 0.0);
        extend(ranges_[1], charts.movingRange->upper);
    }
    if (charts.ewma) {
        extend(ranges_[2], charts.ewma->steadyLimits.lower);
        extend(ranges_[2], charts.ewma->steadyLimits.upper);
        const double centre = charts.ewma->steadyLimits.centre;
        for (double half : charts.ewma->halfWidths) {
            ewmaUpper_.push_back(centre + half);
            ewmaLower_.push_back(centre - half);
        }
    }
    for (auto& range : ranges_) {
        if (!std::isfinite(range.first)) {
            range = {0, 1};
        }
        // A flat series still gets a band to be drawn in; every range a margin.
        const double pad = range.second > range.first ? (range.second - range.first) * 0.06
                                                      : std::max(std::abs(range.first) * 0.01, 0.5);
        range = {range.first - pad, range.second + pad};
    }
}

const std::vector<double>& ControlChartPainter::valuesOf(Chart chart) const {
    static const std::vector<double> none;
    switch (chart) {
    case Chart::Individuals:
        return data_->series.values;
    case Chart::MovingRange:
        return data_->charts.movingRanges;
    case Chart::Ewma:
        return data_->charts.ewma ? data_->charts.ewma->values : none;
    }
    return none;
}

std::array<ControlChartPainter::Panel, 3> ControlChartPainter::layout(const QRectF& area) const {
    const QFontMetricsF metrics(font_);
    const double titleHeight = metrics.height() + 4;
    const double axisHeight = 2 * metrics.height() + 6;
    const double top = area.top() + (title_.isEmpty() ? 0 : titleHeight);
    const double available =
        area.bottom() - top - axisHeight - kCharts.size() * (titleHeight + kPanelGap);
    std::array<Panel, 3> panels;
    double y = top;
    for (std::size_t c = 0; c < kCharts.size(); ++c) {
        y += titleHeight;
        const double height = std::max(available * kPanelShares[c], 10.0);
        panels[c].chart = kCharts[c];
        panels[c].plot = QRectF(area.left() + kLeftMargin, y,
                                std::max(area.width() - kLeftMargin - kRightMargin, 10.0), height);
        panels[c].low = ranges_[c].first;
        panels[c].high = ranges_[c].second;
        y += height + kPanelGap;
    }
    return panels;
}

const ControlChartPainter::Reduced& ControlChartPainter::reduced(int width) {
    if (reduced_.width != width) {
        reduced_.width = width;
        for (std::size_t c = 0; c < kCharts.size(); ++c) {
            reduced_.series[c] = reduceToColumns(valuesOf(kCharts[c]), width);
        }
        reduced_.ewmaUpper = reduceToColumns(ewmaUpper_, width);
        reduced_.ewmaLower = reduceToColumns(ewmaLower_, width);
    }
    return reduced_;
}

double ControlChartPainter::yOf(const Panel& panel, double value) const {
    return panel.plot.bottom() -
           (value - panel.low) / (panel.high - panel.low) * panel.plot.height();
}

void ControlChartPainter::paint(QPainter& painter, const QRectF& area) {
    painter.save();
    painter.setFont(font_);
    painter.fillRect(area, Qt::white);
    if (!title_.isEmpty()) {
        painter.setPen(Qt::black);
        painter.drawText(
            QRectF(area.left(), area.top(), area.width(), QFontMetricsF(font_).height() + 4),
            Qt::AlignHCenter | Qt::AlignTop, title_);
    }
    if (data_) {
        const auto panels = layout(area);
        for (std::size_t c = 0; c < panels.size(); ++c) {
            paintPanel(painter, panels[c], c + 1 == panels.size());
        }
    }
    painter.restore();
}

void ControlChartPainter::paintPanel(QPainter& painter, const Panel& panel, bool last) {
    const QFontMetricsF metrics(font_);
    painter.setRenderHint(QPainter::Antialiasing, false);
    QString heading = chartName(panel.chart);
    if (panel.chart == Chart::Ewma) {
        heading += QStringLiteral(" (λ = %1)").arg(QLocale().toString(data_->ewmaWeight));
    }
    painter.setPen(Qt::black);
    painter.drawText(QPointF(panel.plot.left(), panel.plot.top() - metrics.descent() - 2), heading);

    const int width = std::max(static_cast<int>(panel.plot.width()), 1);
    const int count = data_->series.size();
    const quality::BaselineRange& baseline = data_->charts.baseline;
    if (baseline.count > 0 && count > 0) {
        const double from = pointColumn(baseline.first, count, width);
        const double to = pointColumn(baseline.first + baseline.count - 1, count, width);
        painter.fillRect(
            QRectF(panel.plot.left() + from, panel.plot.top(), to - from + 1, panel.plot.height()),
            chartBaselineColor());
    }
    painter.setPen(QPen(Qt::gray, 0));
    painter.drawRect(panel.plot);

    // Value ticks at the panel's bottom, middle and top.
    painter.setPen(Qt::black);
    for (double share : {0.0, 0.5, 1.0}) {
        const double value = panel.low + share * (panel.high - panel.low);
        painter.drawText(QRectF(panel.plot.left() - kLeftMargin,
                                yOf(panel, value) - metrics.height(), kLeftMargin - 4,
                                2 * metrics.height()),
                         Qt::AlignRight | Qt::AlignVCenter, number(value));
    }

    paintLimits(painter, panel);
    const Reduced& columns = reduced(width);
    const auto index = static_cast<std::size_t>(
        std::find(kCharts.begin(), kCharts.end(), panel.chart) - kCharts.begin());
    if (panel.chart == Chart::Ewma && data_->charts.ewma) {
        paintSeries(painter, panel, columns.ewmaUpper, chartLimitColor(), true);
        paintSeries(painter, panel, columns.ewmaLower, chartLimitColor(), true);
    }
    paintSeries(painter, panel, columns.series[index], chartSeriesColor(), false);
    paintMarks(painter, panel);
    if (!data_->charts.individuals && panel.chart == Chart::Individuals) {
        painter.setPen(Qt::darkGray);
        painter.drawText(panel.plot, Qt::AlignCenter,
                         QStringLiteral("Для контрольных границ нужны хотя бы две точки базы"));
    }
    if (last) {
        paintPointAxis(painter, panel);
    }
}

void ControlChartPainter::paintLimits(QPainter& painter, const Panel& panel) {
    const quality::ControlCharts& charts = data_->charts;
    struct Line {
        double value;
        QString label;
        QColor color;
        Qt::PenStyle style;
    };
    std::vector<Line> lines;
    const auto addLimits = [&](const quality::Limits& limits, bool lower) {
        lines.push_back({limits.centre, QStringLiteral("ЦЛ"), chartCentreColor(), Qt::SolidLine});
        lines.push_back({limits.upper, QStringLiteral("ВКГ"), chartLimitColor(), Qt::DashLine});
        if (lower) {
            lines.push_back({limits.lower, QStringLiteral("НКГ"), chartLimitColor(), Qt::DashLine});
        }
    };
    if (panel.chart == Chart::Individuals && charts.individuals) {
        addLimits(*charts.individuals, true);
        const double zone = quality::kWarningSigmas * charts.statistics.sigma();
        lines.push_back({charts.individuals->centre + zone, QStringLiteral("+2σ"),
                         chartWarningColor(), Qt::DotLine});
        lines.push_back({charts.individuals->centre - zone, QStringLiteral("−2σ"),
                         chartWarningColor(), Qt::DotLine});
    } else if (panel.chart == Chart::MovingRange && charts.movingRange) {
        addLimits(*charts.movingRange, false);
    } else if (panel.chart == Chart::Ewma && charts.ewma) {
        // The limits per point are drawn as series; the labels name the steady ones.
        lines.push_back({charts.ewma->steadyLimits.centre, QStringLiteral("ЦЛ"), chartCentreColor(),
                         Qt::SolidLine});
        lines.push_back(
            {charts.ewma->steadyLimits.upper, QStringLiteral("ВКГ"), QColor(), Qt::NoPen});
        lines.push_back(
            {charts.ewma->steadyLimits.lower, QStringLiteral("НКГ"), QColor(), Qt::NoPen});
    }
    const QFontMetricsF metrics(font_);
    for (const Line& line : lines) {
        const double y = yOf(panel, line.value);
        if (line.style != Qt::NoPen) {
            painter.setPen(QPen(line.color, 1, line.style));
            painter.drawLine(QPointF(panel.plot.left(), y), QPointF(panel.plot.right(), y));
        }
        painter.setPen(line.color.isValid() ? line.color : chartLimitColor());
        painter.drawText(QRectF(panel.plot.right() + 4, y - metrics.height() / 2, kRightMargin - 4,
                                metrics.height()),
                         Qt::AlignLeft | Qt::AlignVCenter,
                         QStringLiteral("%1 %2").arg(line.label, number(line.value)));
    }
}

void ControlChartPainter::paintSeries(QPainter& painter, const Panel& panel,
                                      const std::vector<ColumnSpan>& columns, const QColor& color,
                                      bool dashed) {
    QVector<QLineF> lines;
    lines.reserve(static_cast<qsizetype>(2 * columns.size()));
    std::optional<QPointF> previous;
    int points = 0;
    for (std::size_t c = 0; c < columns.size(); ++c) {
        const ColumnSpan& span = columns[c];
        if (span.empty) {
            continue;
        }
        ++points;
        const double x = panel.plot.left() + static_cast<double>(c) + 0.5;
        if (span.max > span.min) {
            lines << QLineF(x, yOf(panel, span.min), x, yOf(panel, span.max));
        }
        if (previous) {
            lines << QLineF(*previous, QPointF(x, yOf(panel, span.first)));
        }
        previous = QPointF(x, yOf(panel, span.last));
    }
    painter.setPen(QPen(color, dashed ? 1 : 1.5, dashed ? Qt::DashLine : Qt::SolidLine));
    painter.drawLines(lines);
    if (!dashed && points > 0 &&
        static_cast<std::size_t>(points) * kPointMarkersPerColumns <= columns.size()) {
        painter.setRenderHint(QPainter::Antialiasing, true);
        painter.setBrush(color);
        for (std::size_t c = 0; c < columns.size(); ++c) {
            if (!columns[c].empty) {
                painter.drawEllipse(QPointF(panel.plot.left() + static_cast<double>(c) + 0.5,
                                            yOf(panel, columns[c].first)),
                                    kPointRadius, kPointRadius);
            }
        }
        painter.setBrush(Qt::NoBrush);
        painter.setRenderHint(QPainter::Antialiasing, false);
    }
}

void ControlChartPainter::paintMarks(QPainter& painter, const Panel& panel) {
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(QPen(chartMarkColor(), 1.5));
    painter.setBrush(chartMarkColor());
    const auto& values = valuesOf(panel.chart);
    const int width = std::max(static_cast<int>(panel.plot.width()), 1);
    for (const quality::Violation& violation : data_->charts.violations) {
        if (violation.chart != panel.chart) {
            continue;
        }
        const double x = panel.plot.left() +
                         std::floor(pointColumn(violation.point, data_->series.size(), width)) +
                         0.5;
        painter.drawEllipse(
            QPointF(x, yOf(panel, values[static_cast<std::size_t>(violation.point)])), kMarkRadius,
            kMarkRadius);
    }
    painter.setBrush(Qt::NoBrush);
    painter.setRenderHint(QPainter::Antialiasing, false);
}

void ControlChartPainter::paintPointAxis(QPainter& painter, const Panel& panel) {
    const int count = data_->series.size();
    if (count == 0) {
        return;
    }
    const QFontMetricsF metrics(font_);
    const int width = std::max(static_cast<int>(panel.plot.width()), 1);
    // About one label per 110 pixels: the point's number, and below it its date.
    const int labels = std::clamp(width / 110, 1, count);
    painter.setPen(Qt::black);
    for (int l = 0; l < labels; ++l) {
        const int index = labels == 1 ? 0
                                      : static_cast<int>(std::lround(static_cast<double>(l) *
                                                                     (count - 1) / (labels - 1)));
        const double x = panel.plot.left() + std::floor(pointColumn(index, count, width)) + 0.5;
        painter.drawLine(QPointF(x, panel.plot.bottom()), QPointF(x, panel.plot.bottom() + 3));
        const QString date = QLocale().toString(
            data_->series.moments[static_cast<std::size_t>(index)].toLocalTime().date(),
            QLocale::ShortFormat);
        const QRectF box(x - 55, panel.plot.bottom() + 3, 110, metrics.height());
        painter.drawText(box, Qt::AlignHCenter | Qt::AlignTop, QString::number(index + 1));
        painter.drawText(box.translated(0, metrics.height()), Qt::AlignHCenter | Qt::AlignTop,
                         date);
    }
}

std::optional<QPointF> ControlChartPainter::pointPosition(Chart chart, int index,
                                                          const QRectF& area) {
    if (!data_ || index < 0 || index >= data_->series.size()) {
        return std::nullopt;
    }
    const auto panels = layout(area);
    const Panel& panel = *std::find_if(panels.begin(), panels.end(),
                                       [&](const Panel& p) { return p.chart == chart; });
    const double value =
        valuesOf(chart).empty() ? NAN : valuesOf(chart)[static_cast<std::size_t>(index)];
    if (std::isnan(value)) {
        return std::nullopt;
    }
    const int width = std::max(static_cast<int>(panel.plot.width()), 1);
    return QPointF(panel.plot.left() + std::floor(pointColumn(index, data_->series.size(), width)) +
                       0.5,
                   yOf(panel, value));
}

std::optional<int> ControlChartPainter::pointAt(const QPointF& position, const QRectF& area) {
    if (!data_ || data_->series.size() == 0) {
        return std::nullopt;
    }
    for (const Panel& panel : layout(area)) {
        if (!panel.plot.adjusted(-kReach, -kReach, kReach, kReach).contains(position)) {
            continue;
        }
        const auto& values = valuesOf(panel.chart);
        if (values.empty()) {
            return std::nullopt;
        }
        const int width = std::max(static_cast<int>(panel.plot.width()), 1);
        const int count = data_->series.size();
        const int column = static_cast<int>(std::floor(position.x() - panel.plot.left()));
        std::optional<int> nearest;
        double best = kReach * kReach;
        for (int c = std::max(column - kReachColumns, 0);
             c <= std::min(column + kReachColumns, width - 1); ++c) {
            const PointRange range = pointsInColumn(c, count, width);
            for (int i = range.first; i < range.end; ++i) {
                const double value = values[static_cast<std::size_t>(i)];
                if (std::isnan(value)) {
                    continue;
                }
                const double dx = panel.plot.left() + c + 0.5 - position.x();
                const double dy = yOf(panel, value) - position.y();
                if (dx * dx + dy * dy <= best) {
                    best = dx * dx + dy * dy;
                    nearest = i;
                }
            }
        }
        return nearest;
    }
    return std::nullopt;
}

} // namespace zr::history
