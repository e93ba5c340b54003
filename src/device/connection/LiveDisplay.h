#pragma once

#include "device/connection/SharedState.h"

#include <QLocale>

namespace zr::ui {
class StatusPanels;
class StringGrid;
} // namespace zr::ui

namespace zr::connection {

class ResultsBlock;

// The widgets the live display writes to.
struct LiveDisplayWidgets {
    ResultsBlock& results;
    ui::StatusPanels& status;
    ui::StringGrid& calibrationGrid;
};

// Shows the meter's last status: method name, calibration in force, value (red while a
// calibration is in force, "0" outside the valid frequency range), correction, frequency and
// number of stored values; then repaints the calibration grid, which marks the row in force.
void refreshLiveDisplay(const DeviceStatus& status, const LiveDisplayWidgets& widgets,
                        const QLocale& locale = QLocale());

} // namespace zr::connection
