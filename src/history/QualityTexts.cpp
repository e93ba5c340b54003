#include "history/QualityTexts.h"

namespace zr::history {

QString chartName(quality::Chart chart) {
    switch (chart) {
    case quality::Chart::Individuals:
        return QStringLiteral("Индивидуальные значения (I)");
    case quality::Chart::MovingRange:
        return QStringLiteral("Скользящий размах (MR)");
    case quality::Chart::Ewma:
        return QStringLiteral("EWMA");
    }
    return {};
}

QString chartSymbol(quality::Chart chart) {
    switch (chart) {
    case quality::Chart::Individuals:
        return QStringLiteral("I");
    case quality::Chart::MovingRange:
        return QStringLiteral("MR");
    case quality::Chart::Ewma:
        return QStringLiteral("EWMA");
    }
    return {};
}

QString ruleText(quality::Rule rule) {
    switch (rule) {
    case quality::Rule::BeyondLimits:
        return QStringLiteral("за контрольной границей");
    case quality::Rule::TwoOfThreeBeyondTwoSigma:
        return QStringLiteral("2 из 3 точек за 2σ с одной стороны");
    case quality::Rule::SevenOnOneSide:
        return QStringLiteral("7 точек подряд с одной стороны");
    }
    return {};
}

QString chartSummary(const ControlChartData& data, const QLocale& locale) {
    const quality::ControlCharts& charts = data.charts;
    const quality::BaselineStatistics& baseline = charts.statistics;
    const QString points =
        QStringLiteral("Точек: %1; база: %2").arg(data.series.size()).arg(baseline.points);
    if (!baseline.definesLimits()) {
        return points + QStringLiteral(" — для контрольных границ нужны хотя бы две точки базы");
    }
    const auto number = [&](double value) { return locale.toString(value, 'f', 3); };
    return points + QStringLiteral("; среднее %1; СКО %2; средний скользящий размах %3; "
                                   "σ = %4; нарушений: %5")
                        .arg(number(baseline.mean), number(baseline.standardDeviation),
                             number(baseline.meanMovingRange), number(baseline.sigma()))
                        .arg(charts.violations.size());
}

} // namespace zr::history
