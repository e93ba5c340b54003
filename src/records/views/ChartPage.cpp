#include "records/views/ChartPage.h"

#include <QChart>
#include <QChartView>
#include <QLineSeries>
#include <QPushButton>
#include <QShowEvent>
#include <QValueAxis>

namespace zr::records {

ChartPage::ChartPage(QWidget* parent) : QWidget(parent) {}

QPushButton* ChartPage::clearButton() {
    build();
    return clearButton_;
}

QLineSeries* ChartPage::series() {
    build();
    return series_;
}

void ChartPage::showEvent(QShowEvent* event) {
    build();
    QWidget::showEvent(event);
}

void ChartPage::build() {
    if (series_) {
        return;
    }
    auto* series = new QLineSeries;
    series_ = series;
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

    auto* view = new QChartView(chart, this);
    view->setObjectName(QStringLiteral("Chart1"));
    view->setGeometry(0, 0, 657, 389);

    clearButton_ = new QPushButton(QStringLiteral("Очистить"), this);
    clearButton_->setObjectName(QStringLiteral("Button4"));
    clearButton_->setGeometry(570, 8, 75, 25);
    connect(clearButton_, &QPushButton::clicked, this, &ChartPage::clearChart);
    view->show();
    clearButton_->show();
}

void ChartPage::clearChart() {
    series()->clear();
}

} // namespace zr::records
