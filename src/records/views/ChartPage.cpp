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
    return button4_;
}

QLineSeries* ChartPage::series() {
    build();
    return series1_;
}

void ChartPage::showEvent(QShowEvent* event) {
    build();
    QWidget::showEvent(event);
}

void ChartPage::build() {
    if (series1_) {
        return;
    }
    auto* series = new QLineSeries;
    series1_ = series;
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

    button4_ = new QPushButton(QStringLiteral("Очистить"), this);
    button4_->setObjectName(QStringLiteral("Button4"));
    button4_->setGeometry(570, 8, 75, 25);
    connect(button4_, &QPushButton::clicked, this, &ChartPage::Button4Click);
    view->show();
    button4_->show();
}

void ChartPage::Button4Click() {
    series()->clear();
}

} // namespace zr::records
