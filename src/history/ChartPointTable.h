#pragma once

#include "history/ChartSeries.h"

#include <QLocale>
#include <QStringList>
#include <vector>

namespace zr::history {

struct TextTable {
    QStringList headers;
    std::vector<QStringList> rows;
};

// The chart's points as a printed table lists them: point, sample number, time, value, moving
// range, EWMA and the rules the point breaks.
TextTable chartPointTable(const ControlChartData& data, const QLocale& locale = QLocale());

// The rules a point breaks, "I: …; MR: …", empty for none.
QString pointViolations(const ControlChartData& data, int point);

} // namespace zr::history
