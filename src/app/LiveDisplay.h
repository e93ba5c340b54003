#pragma once

#include "device/connection/SharedState.h"

#include <QLocale>

namespace zr::ui {
class StatusPanels;
class StringGrid;
} // namespace zr::ui

namespace zr::app {

class ResultsBlock;

// The widgets the live display writes to.
struct LiveDisplayWidgets {
    ResultsBlock& results;
    ui::StatusPanels& status;
    ui::StringGrid& calibrationGrid;
};

// Shows the meter's last status in the results block and the status bar, and repaints the
// calibration grid, which marks the row in force.
class LiveDisplay {
public:
    explicit LiveDisplay(LiveDisplayWidgets widgets) : w_(widgets) {}

    void refresh(const connection::DeviceStatus& status, const QLocale& locale = QLocale());

private:
    LiveDisplayWidgets w_;
    // The row in force when the grid was last repainted; -1 before the first refresh.
    int markedTable_ = -1;
};

} // namespace zr::app
