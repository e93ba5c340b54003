#include "sim/SimulatorWindow.h"

#include "sim/SimulatedMeter.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace zr::sim {

namespace {
QString statusText(const protocol::StatusReport& status) {
    return QStringLiteral("Метод %1, значение %2, коррекция %3\nТаблица %4, частота %5, данных %6")
        .arg(status.method)
        .arg(static_cast<double>(status.measuredValue), 0, 'f', 2)
        .arg(static_cast<double>(status.correction), 0, 'f', 1)
        .arg(status.activeTable)
        .arg(status.frequency)
        .arg(status.dataCount);
}
} // namespace

SimulatorWindow::SimulatorWindow(SimulatedMeter& meter, QWidget* parent)
    : QWidget(parent), meter_(meter),
      plugButton_(new QPushButton(QStringLiteral("Подключить"), this)),
      unplugButton_(new QPushButton(QStringLiteral("Отключить"), this)),
      connectionLabel_(new QLabel(this)), octaneSpin_(new QDoubleSpinBox(this)),
      outOfRangeCheck_(new QCheckBox(QStringLiteral("Частота вне диапазона"), this)),
      readout_(new QLabel(this)) {
    setWindowTitle(QStringLiteral("Симулятор"));
    setObjectName(QStringLiteral("SimulatorWindow"));
    // A companion of the main window: closing the main window ends the program even while
    // this window is open.
    setAttribute(Qt::WA_QuitOnClose, false);

    octaneSpin_->setRange(40.0, 120.0);
    octaneSpin_->setDecimals(1);
    octaneSpin_->setSingleStep(0.1);
    octaneSpin_->setValue(meter_.trueOctane());
    outOfRangeCheck_->setChecked(meter_.frequencyOutOfRange());
    readout_->setText(QStringLiteral("Нет данных"));
    readout_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    readout_->setTextFormat(Qt::PlainText);
    connectionLabel_->setTextFormat(Qt::PlainText);
    // Room for the longest report from the start, so that the window keeps its size (and its
    // place on screen) when reports arrive.
    readout_->setMinimumSize(
        readout_->fontMetrics()
            .boundingRect(QRect(), 0,
                          statusText(protocol::StatusReport{65535, 3, -1000.0F, -100.0F, 255, 255}))
            .size());

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(plugButton_);
    buttons->addWidget(unplugButton_);
    buttons->addWidget(connectionLabel_, 1);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Октановое число пробы:"), octaneSpin_);
    form->addRow(QString(), outOfRangeCheck_);
    form->addRow(QStringLiteral("Прибор передаёт:"), readout_);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addLayout(form);

    connect(plugButton_, &QPushButton::clicked, &meter_, &SimulatedMeter::plug);
    connect(unplugButton_, &QPushButton::clicked, &meter_, &SimulatedMeter::unplug);
    connect(octaneSpin_, &QDoubleSpinBox::valueChanged, &meter_, &SimulatedMeter::setTrueOctane);
    connect(outOfRangeCheck_, &QCheckBox::toggled, &meter_,
            &SimulatedMeter::setFrequencyOutOfRange);
    connect(&meter_, &SimulatedMeter::pluggedChanged, this, &SimulatorWindow::showPlugged);
    connect(&meter_, &SimulatedMeter::statusReportSent, this, &SimulatorWindow::showStatus);
    showPlugged(meter_.isPlugged());
}

void SimulatorWindow::showPlugged(bool plugged) {
    plugButton_->setEnabled(!plugged);
    unplugButton_->setEnabled(plugged);
    connectionLabel_->setText(plugged ? QStringLiteral("Прибор подключен")
                                      : QStringLiteral("Прибор отключен"));
}

void SimulatorWindow::showStatus(const protocol::StatusReport& status) {
    readout_->setText(statusText(status));
}

} // namespace zr::sim
