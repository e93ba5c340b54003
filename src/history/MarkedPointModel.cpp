#include "history/MarkedPointModel.h"

#include "history/QualityTexts.h"
#include "records/MeasurementRow.h"
#include "records/ReportTexts.h"

#include <QLocale>

namespace zr::history {

MarkedPointModel::MarkedPointModel(QObject* parent) : QAbstractTableModel(parent) {}

void MarkedPointModel::setCharts(const ControlChartData* charts) {
    beginResetModel();
    charts_ = charts;
    endResetModel();
}

int MarkedPointModel::pointAt(int row) const {
    return charts_->charts.violations.at(static_cast<std::size_t>(row)).point;
}

int MarkedPointModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() || !charts_ ? 0 : static_cast<int>(charts_->charts.violations.size());
}

int MarkedPointModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant MarkedPointModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rowCount()) {
        return {};
    }
    const quality::Violation& violation =
        charts_->charts.violations[static_cast<std::size_t>(index.row())];
    const auto at = static_cast<std::size_t>(violation.point);
    const QLocale locale;
    switch (index.column()) {
    case Point:
        return violation.point + 1;
    case Chart:
        return chartName(violation.chart);
    case Rule:
        return ruleText(violation.rule);
    case Number:
        return charts_->series.numbers[at];
    case Moment:
        return records::measurementTimestamp(charts_->series.moments[at].toLocalTime(), locale);
    case Value:
        return locale.toString(charts_->series.values[at], 'g', 15);
    default:
        return {};
    }
}

QVariant MarkedPointModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    const auto report = records::reportHeaders();
    switch (section) {
    case Point:
        return QStringLiteral("Точка");
    case Chart:
        return QStringLiteral("Карта");
    case Rule:
        return QStringLiteral("Нарушение");
    case Number:
        return report[0];
    case Moment:
        return report[6];
    case Value:
        return report[5];
    default:
        return {};
    }
}

} // namespace zr::history
