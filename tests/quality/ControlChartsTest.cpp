#include "quality/ControlCharts.h"

#include <cmath>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <vector>

namespace zr::quality {
namespace {

using ::testing::Contains;
using ::testing::IsEmpty;

// NIST/SEMATECH e-Handbook of Statistical Methods, section 6.3.2.2 "Individuals Control
// Charts", example of moving range: the flow rate of the first 10 batches of a new process.
// Published: x-bar = 50.81, MR-bar = 1.8778; MR chart UCL = 3.267 (1.8778) = 6.13, CL = 1.8778,
// LCL = 0; individuals chart UCL = 55.80, CL = 50.81, LCL = 45.82 (all to the digits printed).
const std::vector<double> kFlowRate = {49.6, 47.6, 49.9, 51.3, 47.8, 51.2, 52.6, 52.4, 53.6, 52.1};

TEST(ControlChartsTest, IndividualsAndMovingRangeMatchTheHandbooksFlowRateExample) {
    const ControlCharts charts = computeControlCharts(kFlowRate, {firstPoints(10, 10)});

    EXPECT_EQ(charts.statistics.points, 10);
    EXPECT_NEAR(charts.statistics.mean, 50.81, 0.005);
    EXPECT_NEAR(charts.statistics.meanMovingRange, 1.8778, 0.00005);
    ASSERT_TRUE(charts.individuals && charts.movingRange);
    EXPECT_NEAR(charts.individuals->centre, 50.81, 0.005);
    EXPECT_NEAR(charts.individuals->upper, 55.80, 0.005);
    EXPECT_NEAR(charts.individuals->lower, 45.82, 0.005);
    EXPECT_NEAR(charts.movingRange->centre, 1.8778, 0.00005);
    EXPECT_NEAR(charts.movingRange->upper, 6.13, 0.005);
    EXPECT_EQ(charts.movingRange->lower, 0.0);
    // The published moving ranges: 2.0 2.3 1.4 3.5 3.4 1.4 0.2 1.2 1.5.
    const double ranges[] = {2.0, 2.3, 1.4, 3.5, 3.4, 1.4, 0.2, 1.2, 1.5};
    EXPECT_TRUE(std::isnan(charts.movingRanges.at(0)));
    for (int i = 0; i < 9; ++i) {
        EXPECT_NEAR(charts.movingRanges.at(i + 1), ranges[i], 1e-9) << i;
    }
    // Checked by hand: every point inside its limits and the 2-sigma zone (47.48 to 54.14), the
    // longest run on one side six points (the last six), the EWMA (weight 0.4) at most 1.59 from
    // the centre against limits of at least 2.00.
    EXPECT_THAT(charts.violations, IsEmpty());
}

// The same handbook, section 6.3.2.4 "EWMA Control Charts": EWMA0 = 50, s = 2.0539, lambda = 0.3,
// sqrt(lambda / (2 - lambda)) = 0.4201; UCL = 50 + 3 (0.4201)(2.0539) = 52.5884, LCL = 47.4115
// (the handbook rounds the root to four digits, hence the tolerance); 20 control measurements
// and "the corresponding EWMA statistics" printed to two decimals, the first being EWMA0.
TEST(ControlChartsTest, EwmaMatchesTheHandbooksExample) {
    const std::vector<double> data = {52.0, 47.0, 53.0, 49.3, 50.1, 47.0, 51.0, 50.1, 51.2, 50.5,
                                      49.6, 47.6, 49.9, 51.3, 47.8, 51.2, 52.6, 52.4, 53.6, 52.1};
    const double published[] = {50.00, 50.60, 49.52, 50.56, 50.18, 50.16, 49.21,
                                49.75, 49.85, 50.26, 50.33, 50.11, 49.36, 49.52,
                                50.05, 49.34, 49.92, 50.73, 51.23, 51.94};

    const EwmaSeries series = ewmaSeries(data, 50.0, 2.0539, 0.3);

    EXPECT_NEAR(series.steadyLimits.centre, 50.0, 1e-12);
    EXPECT_NEAR(series.steadyLimits.upper, 52.5884, 1e-4);
    EXPECT_NEAR(series.steadyLimits.lower, 47.4115, 1e-4);
    ASSERT_EQ(series.values.size(), data.size());
    // The published list starts with EWMA0, so its entry i + 1 is the average after point i.
    // One printed entry cannot be reproduced: the 16th reads 49.34, where 0.3 (47.8) + 0.7 (50.05)
    // = 49.375, and the next printed entry, 49.92, follows from 49.38 (from 49.34 it would be
    // 49.90). It is checked at 49.38.
    for (int i = 0; i + 1 < 20; ++i) {
        const double expected = i + 1 == 15 ? 49.38 : published[i + 1];
        EXPECT_NEAR(series.values.at(i), expected, 0.005 + 1e-9) << i;
    }
    // The first point's limits: sqrt(w / (2 - w) (1 - (1 - w)^2)) = w, so 3 s w from the centre.
    EXPECT_NEAR(series.halfWidths.front(), 3 * 2.0539 * 0.3, 1e-12);
    // Late points' limits are the steady ones.
    EXPECT_NEAR(series.halfWidths.back(), 52.5884 - 50.0, 1e-4);
}

TEST(ControlChartsTest, EdgeCases) {
    struct Case {
        const char* name;
        std::vector<double> points;
        int baselinePoints;
        int expectedBaseline;
        bool limits;
    };
    const Case cases[] = {
        {"no point", {}, 20, 0, false},
        {"one point", {92.5}, 20, 1, false},
        {"two points", {92.5, 92.7}, 20, 2, true},
        {"a baseline longer than the data", {92.5, 92.7, 92.6}, 20, 3, true},
        {"a baseline of one point of many", {92.5, 92.7, 92.6}, 1, 1, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ControlCharts charts =
            computeControlCharts(c.points, {firstPoints(c.baselinePoints, int(c.points.size()))});
        EXPECT_EQ(charts.baseline, (BaselineRange{0, c.expectedBaseline}));
        EXPECT_EQ(charts.statistics.points, c.expectedBaseline);
        EXPECT_EQ(charts.individuals.has_value(), c.limits);
        EXPECT_EQ(charts.movingRange.has_value(), c.limits);
        EXPECT_EQ(charts.ewma.has_value(), c.limits);
        EXPECT_EQ(std::isnan(charts.statistics.meanMovingRange), !c.limits);
        EXPECT_EQ(std::isnan(charts.statistics.mean), c.expectedBaseline == 0);
        EXPECT_THAT(charts.violations, IsEmpty());
    }
}

TEST(ControlChartsTest, AllEqualPointsHaveLimitsOnTheCentreAndBreakNoRule) {
    const std::vector<double> points(12, 95.0);
    const ControlCharts charts = computeControlCharts(points, {firstPoints(20, 12)});

    EXPECT_EQ(charts.statistics.standardDeviation, 0.0);
    EXPECT_EQ(charts.statistics.meanMovingRange, 0.0);
    ASSERT_TRUE(charts.individuals);
    EXPECT_EQ(charts.individuals->lower, 95.0);
    EXPECT_EQ(charts.individuals->upper, 95.0);
    EXPECT_EQ(charts.ewma->steadyLimits.upper, 95.0);
    EXPECT_THAT(charts.violations, IsEmpty());
}

// Limits from the first 20 points (alternating 100 and 101: mean 100.5, every moving range 1)
// stay where they are when the points after them move up.
TEST(ControlChartsTest, LimitsComeFromTheBaselineOnlyAndStayFixed) {
    std::vector<double> points;
    for (int i = 0; i < 20; ++i) {
        points.push_back(i % 2 == 0 ? 100.0 : 101.0);
    }
    points.insert(points.end(), {104.0, 104.0, 104.0});

    const ControlCharts charts = computeControlCharts(points, {firstPoints(20, 23)});

    EXPECT_EQ(charts.statistics.points, 20);
    EXPECT_NEAR(charts.statistics.mean, 100.5, 1e-12);
    EXPECT_NEAR(charts.statistics.meanMovingRange, 1.0, 1e-12);
    // s of ten 100s and ten 101s: sqrt(20 * 0.25 / 19).
    EXPECT_NEAR(charts.statistics.standardDeviation, std::sqrt(5.0 / 19.0), 1e-12);
    EXPECT_NEAR(charts.individuals->upper, 103.16, 1e-12);
    EXPECT_NEAR(charts.movingRange->upper, 3.267, 1e-12);
    for (int point : {20, 21, 22}) {
        EXPECT_THAT(charts.violations,
                    Contains(Violation{point, Chart::Individuals, Rule::BeyondLimits}));
    }
    // The jump from 101 to 104 is a moving range of 3: inside 3.267.
    EXPECT_THAT(charts.violations,
                ::testing::Not(Contains(::testing::Field(&Violation::chart, Chart::MovingRange))));
}

// A baseline of chosen dates is a range inside the series: points before it are judged by it too.
TEST(ControlChartsTest, ABaselineInsideTheSeriesUsesOnlyItsPoints) {
    const std::vector<double> points = {90.0, 90.0, 100.0, 101.0, 100.0, 101.0, 100.0};

    const ControlCharts charts = computeControlCharts(points, {{2, 4}});

    EXPECT_EQ(charts.baseline, (BaselineRange{2, 4}));
    EXPECT_NEAR(charts.statistics.mean, 100.5, 1e-12);
    EXPECT_NEAR(charts.statistics.meanMovingRange, 1.0, 1e-12);
    EXPECT_THAT(charts.violations, Contains(Violation{0, Chart::Individuals, Rule::BeyondLimits}));
    EXPECT_THAT(charts.violations, Contains(Violation{2, Chart::MovingRange, Rule::BeyondLimits}));
}

} // namespace
} // namespace zr::quality
