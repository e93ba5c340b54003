#include "quality/ControlCharts.h"

#include <algorithm>
#include <cmath>

namespace zr::quality {

BaselineRange firstPoints(int count, int size) {
    return {0, std::clamp(count, 0, std::max(size, 0))};
}

BaselineStatistics baselineStatistics(std::span<const double> points) {
    BaselineStatistics statistics;
    statistics.points = static_cast<int>(points.size());
    if (points.empty()) {
        return statistics;
    }
    // Welford's running mean and sum of squares: no loss of digits for values far from zero,
    // as octane numbers are.
    double mean = 0;
    double squares = 0;
    double ranges = 0;
    for (std::size_t i = 0; i < points.size(); ++i) {
        const double delta = points[i] - mean;
        mean += delta / static_cast<double>(i + 1);
        squares += delta * (points[i] - mean);
        if (i > 0) {
            ranges += std::abs(points[i] - points[i - 1]);
        }
    }
    statistics.mean = mean;
    if (points.size() >= 2) {
        const auto intervals = static_cast<double>(points.size() - 1);
        statistics.standardDeviation = std::sqrt(squares / intervals);
        statistics.meanMovingRange = ranges / intervals;
    }
    return statistics;
}

Limits individualsLimits(const BaselineStatistics& baseline) {
    const double spread = kIndividualsLimitFactor * baseline.meanMovingRange;
    return {baseline.mean, baseline.mean - spread, baseline.mean + spread};
}

Limits movingRangeLimits(const BaselineStatistics& baseline) {
    return {baseline.meanMovingRange, 0.0, kMovingRangeLimitFactor * baseline.meanMovingRange};
}

EwmaSeries ewmaSeries(std::span<const double> points, double centre, double sigma, double weight) {
    EwmaSeries series;
    series.values.reserve(points.size());
    series.halfWidths.reserve(points.size());
    const double steadyVariance = weight / (2.0 - weight);
    const double keep = 1.0 - weight;
    // (1 - w)^2i, carried from point to point.
    double decay = 1.0;
    double average = centre;
    for (const double point : points) {
        average = weight * point + keep * average;
        decay *= keep * keep;
        series.values.push_back(average);
        series.halfWidths.push_back(kEwmaLimitSigmas * sigma *
                                    std::sqrt(steadyVariance * (1.0 - decay)));
    }
    const double steady = kEwmaLimitSigmas * sigma * std::sqrt(steadyVariance);
    series.steadyLimits = {centre, centre - steady, centre + steady};
    return series;
}

ControlCharts computeControlCharts(std::span<const double> points, const ChartSettings& settings) {
    ControlCharts charts;
    const int size = static_cast<int>(points.size());
    const int first = std::clamp(settings.baseline.first, 0, size);
    const int end =
        std::clamp(settings.baseline.first + std::max(settings.baseline.count, 0), first, size);
    charts.baseline = {first, end - first};
    charts.statistics = baselineStatistics(
        points.subspan(static_cast<std::size_t>(first), static_cast<std::size_t>(end - first)));

    charts.movingRanges.reserve(points.size());
    for (std::size_t i = 0; i < points.size(); ++i) {
        charts.movingRanges.push_back(i == 0 ? kUndefined : std::abs(points[i] - points[i - 1]));
    }
    if (!charts.statistics.definesLimits()) {
        return charts;
    }
    const double sigma = charts.statistics.sigma();
    charts.individuals = individualsLimits(charts.statistics);
    charts.movingRange = movingRangeLimits(charts.statistics);
    charts.ewma = ewmaSeries(points, charts.statistics.mean, sigma, settings.ewmaWeight);
    charts.violations = runRuleViolations(points, charts.movingRanges, *charts.individuals, sigma,
                                          *charts.movingRange, *charts.ewma);
    return charts;
}

} // namespace zr::quality
