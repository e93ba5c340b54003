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

} // namespace zr::history
