#pragma once

#include "device/protocol/Replies.h"

#include <QWidget>

class QCheckBox;
class QDoubleSpinBox;
class QLabel;
class QPushButton;

namespace zr::sim {

class SimulatedMeter;

// The small control window of --simulate: plug the meter in and out, choose the sample's true
// octane number, push the frequency out of range, and see what the meter reports.
class SimulatorWindow : public QWidget {
    Q_OBJECT
public:
    explicit SimulatorWindow(SimulatedMeter& meter, QWidget* parent = nullptr);

    QPushButton* plugButton() const { return plugButton_; }
    QPushButton* unplugButton() const { return unplugButton_; }
    QDoubleSpinBox* octaneSpin() const { return octaneSpin_; }
    QCheckBox* outOfRangeCheck() const { return outOfRangeCheck_; }
    QLabel* readout() const { return readout_; }

private:
    void showPlugged(bool plugged);
    void showStatus(const protocol::StatusReport& status);

    SimulatedMeter& meter_;
    QPushButton* plugButton_;
    QPushButton* unplugButton_;
    QLabel* connectionLabel_;
    QDoubleSpinBox* octaneSpin_;
    QCheckBox* outOfRangeCheck_;
    QLabel* readout_;
};

} // namespace zr::sim
