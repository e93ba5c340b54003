#pragma once

#include "quality/ControlConstants.h"

#include <limits>
#include <optional>
#include <span>
#include <vector>

namespace zr::quality {

inline constexpr double kUndefined = std::numeric_limits<double>::quiet_NaN();

// The points [first, first + count) of a series, from which the limits are computed.
struct BaselineRange {
    int first = 0;
    int count = 0;

    bool operator==(const BaselineRange&) const = default;
};

// The first `count` points of a series of `size`; all of them when it is shorter.
BaselineRange firstPoints(int count, int size);

// What the baseline's points say about the measuring system. Mean, standard deviation and mean
// moving range are NaN where the points do not define them (no point; fewer than two).
struct BaselineStatistics {
    int points = 0;
    double mean = kUndefined;
    // The sample standard deviation (n - 1 in the denominator).
    double standardDeviation = kUndefined;
    // The mean of the ranges between consecutive points.
    double meanMovingRange = kUndefined;

    // Limits need a moving range, so two points at least.
    bool definesLimits() const { return points >= 2; }
    // The short-term standard deviation the limits and the run rules' zones use.
    double sigma() const { return meanMovingRange / kD2; }
};

BaselineStatistics baselineStatistics(std::span<const double> points);

struct Limits {
    double centre;
    double lower;
    double upper;
};

// Centre at the mean, limits 2.66 mean moving ranges either side.
Limits individualsLimits(const BaselineStatistics& baseline);
// Centre at the mean moving range, upper limit 3.267 of them, lower limit 0.
Limits movingRangeLimits(const BaselineStatistics& baseline);

// An exponentially weighted moving average z(i) = w x(i) + (1 - w) z(i - 1), z(0) = centre.
struct EwmaSeries {
    std::vector<double> values;
    // Per point, how far its limits lie from the centre: L sigma sqrt(w / (2 - w) (1 - (1 -
    // w)^2i)), narrower at the start, where the average holds few points, than the steady state.
    std::vector<double> halfWidths;
    // The limits the per-point ones approach: L sigma sqrt(w / (2 - w)) either side.
    Limits steadyLimits;
};

EwmaSeries ewmaSeries(std::span<const double> points, double centre, double sigma, double weight);

enum class Chart { Individuals, MovingRange, Ewma };
enum class Rule {
    // A point beyond the chart's limits.
    BeyondLimits,
    // Two of three points in a row beyond 2 sigma on the same side of the centre.
    TwoOfThreeBeyondTwoSigma,
    // Seven points in a row on the same side of the centre.
    SevenOnOneSide,
};

// A point that breaks a run rule, marked where the pattern completes.
struct Violation {
    int point;
    Chart chart;
    Rule rule;

    bool operator==(const Violation&) const = default;
};

struct ChartSettings {
    // Points outside the series are left out; an empty range gives no limits.
    BaselineRange baseline;
    double ewmaWeight = kDefaultEwmaWeight;
};

// The individuals, moving-range and EWMA charts of a series in the order measured, with limits
// from the baseline, fixed for every point, and the points that break a run rule.
struct ControlCharts {
    // As used: clamped to the series.
    BaselineRange baseline;
    BaselineStatistics statistics;
    // Absent when the baseline holds fewer than two points.
    std::optional<Limits> individuals;
    std::optional<Limits> movingRange;
    std::optional<EwmaSeries> ewma;
    // Point i's distance from point i - 1; NaN for the first point.
    std::vector<double> movingRanges;
    // By point, then by chart.
    std::vector<Violation> violations;
};

ControlCharts computeControlCharts(std::span<const double> points, const ChartSettings& settings);

// The points that break a run rule on the individuals chart (all three rules), the moving-range
// chart and the EWMA chart (beyond their limits), by point, then by chart.
std::vector<Violation> runRuleViolations(std::span<const double> points,
                                         std::span<const double> movingRanges,
                                         const Limits& individuals, double sigma,
                                         const Limits& movingRange, const EwmaSeries& ewma);

} // namespace zr::quality
