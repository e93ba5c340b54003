#include "quality/ControlCharts.h"

#include <cmath>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <vector>

namespace zr::quality {
namespace {

using ::testing::ElementsAreArray;

// Hand-made cases around a centre of 100 with sigma 1: individuals limits 97 and 103, the 2-sigma
// zone from 98 to 102, moving ranges up to 3.267, and an EWMA that stays on its centre unless a
// case gives its own.
TEST(RunRulesTest, MarksThePointThatCompletesEachPattern) {
    struct Case {
        const char* name;
        std::vector<double> points;
        std::vector<Violation> expected;
        std::vector<double> ewma = {};
    };
    const Chart I = Chart::Individuals;
    const Case cases[] = {
        {"beyond the upper limit", {100.5, 103.5}, {{1, I, Rule::BeyondLimits}}},
        {"beyond the lower limit", {99.5, 96.5}, {{1, I, Rule::BeyondLimits}}},
        {"on a limit is not beyond it", {100.0, 103.0}, {}},
        {"two of three above 2 sigma",
         {102.5, 99.5, 102.5},
         {{2, I, Rule::TwoOfThreeBeyondTwoSigma}}},
        {"two in a row below 2 sigma", {97.5, 97.8}, {{1, I, Rule::TwoOfThreeBeyondTwoSigma}}},
        {"two beyond 2 sigma on opposite sides", {102.5, 100.0, 97.5}, {}},
        {"two beyond 2 sigma four points apart", {102.5, 100.0, 100.0, 102.5}, {}},
        {"seven in a row above", std::vector<double>(7, 100.1), {{6, I, Rule::SevenOnOneSide}}},
        {"eight in a row below",
         std::vector<double>(8, 99.9),
         {{6, I, Rule::SevenOnOneSide}, {7, I, Rule::SevenOnOneSide}}},
        {"a point on the centre line ends a run",
         {100.1, 100.1, 100.1, 100.0, 100.1, 100.1, 100.1, 100.1, 100.1, 100.1},
         {}},
        {"a run that changes sides starts again",
         {100.1, 100.1, 100.1, 99.9, 99.9, 99.9, 99.9, 99.9, 99.9},
         {}},
        {"a moving range beyond its limit",
         {98.5, 101.8},
         {{1, Chart::MovingRange, Rule::BeyondLimits}}},
        {"the EWMA beyond its limits",
         {100.0, 100.0},
         {{1, Chart::Ewma, Rule::BeyondLimits}},
         {100.0, 98.9}},
        {"several rules at one point, in chart order",
         {102.5, 99.5, 104.0},
         {{2, I, Rule::BeyondLimits},
          {2, I, Rule::TwoOfThreeBeyondTwoSigma},
          {2, Chart::MovingRange, Rule::BeyondLimits}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<double> ranges;
        for (std::size_t i = 0; i < c.points.size(); ++i) {
            ranges.push_back(i == 0 ? NAN : std::abs(c.points[i] - c.points[i - 1]));
        }
        EwmaSeries ewma;
        ewma.values = c.ewma.empty() ? std::vector<double>(c.points.size(), 100.0) : c.ewma;
        ewma.halfWidths = std::vector<double>(c.points.size(), 1.0);
        ewma.steadyLimits = {100.0, 99.0, 101.0};

        const std::vector<Violation> violations =
            runRuleViolations(c.points, ranges, {100.0, 97.0, 103.0}, 1.0, {1.0, 0.0, 3.267}, ewma);

        EXPECT_THAT(violations, ElementsAreArray(c.expected));
    }
}

} // namespace
} // namespace zr::quality
