#pragma once

#include "history/ChartSeries.h"
#include "history/ColumnReduction.h"

#include <QFont>
#include <QRectF>
#include <QString>
#include <array>
#include <optional>
#include <vector>

class QPainter;

namespace zr::history {

// Draws the individuals, moving-range and EWMA charts of one ControlChartData, stacked, into a
// rectangle of any paint device: the window, a picture file, a PDF page or a printer. Each series
// is reduced to the pixel columns of its plot, so a frame costs the plot's width whatever the
// number of points; points that break a rule are drawn on top, one by one, and never hidden.
class ControlChartPainter {
public:
    // `data` must outlive the painter or the next setData().
    void setData(const ControlChartData* data);
    void setTitle(const QString& title) { title_ = title; }
    // The font of the texts; what the layout is measured with.
    void setFont(const QFont& font) { font_ = font; }

    void paint(QPainter& painter, const QRectF& area);
    // The point under `position` in a chart painted into `area`, when one is within reach.
    std::optional<int> pointAt(const QPointF& position, const QRectF& area);
    // Where point `index` of `chart` is drawn in `area`; nothing for a point without a value.
    std::optional<QPointF> pointPosition(quality::Chart chart, int index, const QRectF& area);

private:
    struct Panel {
        quality::Chart chart;
        QRectF plot;
        double low = 0;
        double high = 1;
    };
    struct Reduced {
        int width = -1;
        std::array<std::vector<ColumnSpan>, 3> series;
        std::vector<ColumnSpan> ewmaUpper;
        std::vector<ColumnSpan> ewmaLower;
    };

    std::array<Panel, 3> layout(const QRectF& area) const;
    const std::vector<double>& valuesOf(quality::Chart chart) const;
    const Reduced& reduced(int width);
    double yOf(const Panel& panel, double value) const;
    void paintPanel(QPainter& painter, const Panel& panel, bool last);
    void paintLimits(QPainter& painter, const Panel& panel);
    void paintSeries(QPainter& painter, const Panel& panel, const std::vector<ColumnSpan>& columns,
                     const QColor& color, bool dashed);
    void paintMarks(QPainter& painter, const Panel& panel);
    void paintPointAxis(QPainter& painter, const Panel& panel);

    const ControlChartData* data_ = nullptr;
    QString title_;
    QFont font_;
    // The value ranges of the panels, found once per data.
    std::array<std::pair<double, double>, 3> ranges_{};
    std::vector<double> ewmaUpper_;
    std::vector<double> ewmaLower_;
    Reduced reduced_;
};

} // namespace zr::history
