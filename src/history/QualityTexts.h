#pragma once

#include "quality/ControlCharts.h"

#include <QString>

namespace zr::history {

// The charts' and run rules' names as the history window, its pictures and prints show them.
QString chartName(quality::Chart chart);
QString ruleText(quality::Rule rule);

} // namespace zr::history
