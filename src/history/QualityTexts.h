#pragma once

#include "history/ChartSeries.h"
#include "quality/ControlCharts.h"

#include <QLocale>
#include <QString>

namespace zr::history {

// The charts' and run rules' names as the history window, its pictures and prints show them.
QString chartName(quality::Chart chart);
QString ruleText(quality::Rule rule);
// "I", "MR", "EWMA": a chart in a table's column or a script's field.
QString chartSymbol(quality::Chart chart);
// The baseline's statistics and what the rules found, in one line.
QString chartSummary(const ControlChartData& data, const QLocale& locale = QLocale());

} // namespace zr::history
