#include "history/ChartPointTable.h"

#include "history/QualityTexts.h"
#include "records/MeasurementRow.h"
#include "records/ReportTexts.h"

#include <algorithm>
#include <cmath>

namespace zr::history {

namespace {

QString decimal(double value, const QLocale& locale) {
    return std::isnan(value) ? QString() : locale.toString(value, 'f', 2);
}

} // namespace

QString pointViolations(const ControlChartData& data, int point) {
    const auto& violations = data.charts.violations;
    // Violations are ordered by point.
    auto it = std::lower_bound(violations.begin(), violations.end(), point,
                               [](const quality::Violation& s, int p) { return s.point < p; });
    QStringList texts;
    for (; it != violations.end() && it->point == point; ++it) {
        texts << chartSymbol(it->chart) + QStringLiteral(": ") + ruleText(it->rule);
    }
    return texts.join(QStringLiteral("; "));
}

TextTable chartPointTable(const ControlChartData& data, const QLocale& locale) {
    const auto report = records::reportHeaders();
    TextTable table;
    table.headers = {QStringLiteral("Точка"),
                     report[0],
                     report[6],
                     report[5],
                     QStringLiteral("MR"),
                     QStringLiteral("EWMA"),
                     QStringLiteral("Нарушения")};
    const ChartSeries& series = data.series;
    table.rows.reserve(static_cast<std::size_t>(series.size()));
    for (int i = 0; i < series.size(); ++i) {
        const auto at = static_cast<std::size_t>(i);
        const double ewma = data.charts.ewma ? data.charts.ewma->values[at] : NAN;
        table.rows.push_back(
            {QString::number(i + 1), series.numbers[at],
             records::measurementTimestamp(series.moments[at].toLocalTime(), locale),
             locale.toString(series.values[at], 'g', 15),
             decimal(data.charts.movingRanges[at], locale), decimal(ewma, locale),
             pointViolations(data, i)});
    }
    return table;
}

} // namespace zr::history
