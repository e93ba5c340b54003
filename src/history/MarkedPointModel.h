#pragma once

#include "history/ChartSeries.h"

#include <QAbstractTableModel>

namespace zr::history {

// The points of the control charts that break a run rule, one line per rule broken, with the
// row's sample number, time and value.
class MarkedPointModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Point, Chart, Rule, Number, Moment, Value, ColumnCount };

    explicit MarkedPointModel(QObject* parent = nullptr);

    // `charts` must outlive the model or the next call.
    void setCharts(const ControlChartData* charts);
    // The chart point of a line.
    int pointAt(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    const ControlChartData* charts_ = nullptr;
};

} // namespace zr::history
