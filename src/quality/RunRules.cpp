#include "quality/ControlCharts.h"

#include <cmath>

namespace zr::quality {

namespace {

// -1 below the centre, 1 above, 0 on it: a point on the centre line ends a run.
int sideOf(double value, double centre) {
    return value > centre ? 1 : value < centre ? -1 : 0;
}

// The side on which a point lies beyond the warning zone, or 0.
int warningSideOf(double value, double centre, double zone) {
    return std::abs(value - centre) > zone ? sideOf(value, centre) : 0;
}

} // namespace

std::vector<Violation> runRuleViolations(std::span<const double> points,
                                         std::span<const double> movingRanges,
                                         const Limits& individuals, double sigma,
                                         const Limits& movingRange, const EwmaSeries& ewma) {
    std::vector<Violation> violations;
    const double zone = kWarningSigmas * sigma;
    int runSide = 0;
    int runLength = 0;
    // The warning sides of the two points before the current one.
    int warnedBefore[2] = {0, 0};
    for (std::size_t i = 0; i < points.size(); ++i) {
        const int point = static_cast<int>(i);
        const double x = points[i];
        if (x > individuals.upper || x < individuals.lower) {
            violations.push_back({point, Chart::Individuals, Rule::BeyondLimits});
        }

        const int warned = warningSideOf(x, individuals.centre, zone);
        if (warned != 0 && (warnedBefore[0] == warned || warnedBefore[1] == warned)) {
            violations.push_back({point, Chart::Individuals, Rule::TwoOfThreeBeyondTwoSigma});
        }
        warnedBefore[1] = warnedBefore[0];
        warnedBefore[0] = warned;

        const int side = sideOf(x, individuals.centre);
        runLength = side != 0 && side == runSide ? runLength + 1 : (side != 0 ? 1 : 0);
        runSide = side;
        if (runLength >= kRunLength) {
            violations.push_back({point, Chart::Individuals, Rule::SevenOnOneSide});
        }

        if (i > 0 && movingRanges[i] > movingRange.upper) {
            violations.push_back({point, Chart::MovingRange, Rule::BeyondLimits});
        }
        if (std::abs(ewma.values[i] - ewma.steadyLimits.centre) > ewma.halfWidths[i]) {
            violations.push_back({point, Chart::Ewma, Rule::BeyondLimits});
        }
    }
    return violations;
}

} // namespace zr::quality
