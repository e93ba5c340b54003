#include "history/ChartSeries.h"

#include <algorithm>

namespace zr::history {

quality::BaselineRange baselineRange(const ChartSeries& series, const BaselineChoice& choice) {
    if (choice.kind == BaselineChoice::Kind::FirstPoints) {
        return quality::firstPoints(choice.points, series.size());
    }
    // The series is in time order, so a period is one run of points.
    const auto& moments = series.moments;
    const auto first = choice.since.isValid()
                           ? std::lower_bound(moments.begin(), moments.end(), choice.since)
                           : moments.begin();
    const auto end = choice.before.isValid() ? std::lower_bound(first, moments.end(), choice.before)
                                             : moments.end();
    return {static_cast<int>(first - moments.begin()), static_cast<int>(end - first)};
}

ControlChartData buildControlCharts(ChartSeries series, const BaselineChoice& baseline,
                                    double ewmaWeight) {
    ControlChartData data;
    data.baseline = baseline;
    data.ewmaWeight = ewmaWeight;
    data.charts =
        quality::computeControlCharts(series.values, {baselineRange(series, baseline), ewmaWeight});
    data.series = std::move(series);
    return data;
}

} // namespace zr::history
