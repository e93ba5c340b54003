#pragma once

namespace zr::quality {

// The factors of individuals and moving-range charts for moving ranges of two points.
// d2: the mean range of two normal values in standard deviations, so sigma = MR-bar / d2.
inline constexpr double kD2 = 1.128;
// The individuals chart's limits lie 2.66 mean moving ranges (3 / d2) from its centre.
inline constexpr double kIndividualsLimitFactor = 2.66;
// D4: the moving-range chart's upper limit in mean moving ranges; its lower limit is 0.
inline constexpr double kMovingRangeLimitFactor = 3.267;
// Control limits of the EWMA chart lie this many of its standard deviations from the centre.
inline constexpr double kEwmaLimitSigmas = 3.0;
// The EWMA's weight of the newest point.
inline constexpr double kDefaultEwmaWeight = 0.4;
// Limits come from the first this many points unless the user chooses otherwise.
inline constexpr int kDefaultBaselinePoints = 20;
// The run rules' zone: two of three points beyond this many sigmas on one side.
inline constexpr double kWarningSigmas = 2.0;
// The run rules' run: this many points in a row on one side of the centre line.
inline constexpr int kRunLength = 7;

} // namespace zr::quality
