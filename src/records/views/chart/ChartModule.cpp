// The chart module: the chart page's chart, in a module of its own so that only a run that shows
// the page loads Qt Charts.
#include "records/views/ChartBuilder.h"

#include <QChart>
#include <QChartView>
#include <QLineSeries>
#include <QObject>
#include <QPointer>
#include <QValueAxis>

namespace zr::records {
namespace {

class ChartModule : public QObject, public ChartBuilder {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID ZR_CHART_BUILDER_IID)
    Q_INTERFACES(zr::records::ChartBuilder)

public:
    // One red line series on a fixed 4000..9000 axis.
    std::function<void()> build(QWidget* page) override {
        auto* series = new QLineSeries;
        series->setObjectName(QStringLiteral("Series1"));
        series->setPen(QPen(Qt::red));
        series->setPointsVisible(false);
        series->setPointLabelsVisible(false);

        auto* chart = new QChart;
        chart->setObjectName(QStringLiteral("Chart1"));
        chart->addSeries(series);
        chart->legend()->hide();
        auto* xAxis = new QValueAxis;
        auto* yAxis = new QValueAxis;
        yAxis->setRange(4000, 9000);
        chart->addAxis(xAxis, Qt::AlignBottom);
        chart->addAxis(yAxis, Qt::AlignLeft);
        series->attachAxis(xAxis);
        series->attachAxis(yAxis);

        auto* view = new QChartView(chart, page);
        view->setObjectName(QStringLiteral("Chart1"));
        view->setGeometry(0, 0, 657, 389);
        view->show();
        return [series = QPointer<QLineSeries>(series)] {
            if (series) {
                series->clear();
            }
        };
    }
};

} // namespace
} // namespace zr::records

#include "ChartModule.moc"
