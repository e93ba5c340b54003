#include "records/views/ChartPage.h"

#include "records/views/ChartBuilder.h"

#include <QPluginLoader>
#include <QPushButton>
#include <QShowEvent>
#include <QtDebug>

namespace zr::records {

ChartPage::ChartPage(QWidget* parent) : QWidget(parent) {}

QPushButton* ChartPage::clearButton() {
    build();
    return clearButton_;
}

void ChartPage::showEvent(QShowEvent* event) {
    build();
    QWidget::showEvent(event);
}

void ChartPage::build() {
    if (clearButton_) {
        return;
    }
    // The module stays loaded for the rest of the run: its chart lives on this page.
    QPluginLoader module(QString::fromLatin1(kChartModuleName));
    auto* builder = qobject_cast<ChartBuilder*>(module.instance());
    if (builder) {
        clearSeries_ = builder->build(this);
    } else {
        qWarning("The chart cannot be shown: %s", qUtf8Printable(module.errorString()));
    }

    clearButton_ = new QPushButton(QStringLiteral("Очистить"), this);
    clearButton_->setObjectName(QStringLiteral("Button4"));
    clearButton_->setGeometry(570, 8, 75, 25);
    connect(clearButton_, &QPushButton::clicked, this, &ChartPage::clearChart);
    clearButton_->show();
}

void ChartPage::clearChart() {
    build();
    if (clearSeries_) {
        clearSeries_();
    }
}

} // namespace zr::records
