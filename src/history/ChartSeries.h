#pragma once

#include "quality/ControlCharts.h"

#include <QDateTime>
#include <QString>
#include <vector>

namespace zr::history {

// The rows a control chart shows, oldest first: their ids, sample numbers, moments (UTC) and
// values.
struct ChartSeries {
    std::vector<qint64> ids;
    std::vector<QString> numbers;
    std::vector<QDateTime> moments;
    std::vector<double> values;

    int size() const { return static_cast<int>(values.size()); }
};

// Where the limits come from: the first points, or the points measured in a period.
struct BaselineChoice {
    enum class Kind { FirstPoints, Period };
    Kind kind = Kind::FirstPoints;
    int points = quality::kDefaultBaselinePoints;
    // The period [since, before).
    QDateTime since;
    QDateTime before;

    bool operator==(const BaselineChoice&) const = default;
};

// The points of `series` the choice takes.
quality::BaselineRange baselineRange(const ChartSeries& series, const BaselineChoice& choice);

// The charts of a series, as the chart view draws them and the point table lists them.
struct ControlChartData {
    ChartSeries series;
    BaselineChoice baseline;
    double ewmaWeight = quality::kDefaultEwmaWeight;
    quality::ControlCharts charts;
};

ControlChartData buildControlCharts(ChartSeries series, const BaselineChoice& baseline,
                                    double ewmaWeight);

} // namespace zr::history
