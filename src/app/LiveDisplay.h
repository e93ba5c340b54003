#pragma once

#include "device/connection/LiveStatus.h"
#include "device/connection/SharedState.h"

#include <QTimer>

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
//
// A meter can send thousands of reports a second and no screen shows more than one frame per
// refresh: the display shows the newest status once per frame, so that painting never holds up
// the reports, each of which is still logged and decoded as it comes. The method caption is the
// one every report has set, painted or not, which is also what a row written meanwhile takes.
class LiveDisplay {
public:
    LiveDisplay(LiveDisplayWidgets widgets, const connection::ShownCaptions& captions);

    // Shows `status` at the next frame; it is read then, so the newest status is what shows.
    void refresh(const connection::DeviceStatus& status);
    // True while a status waits for its frame.
    bool pending() const { return frame_.isActive(); }

private:
    void show(const connection::DeviceStatus& status);

    LiveDisplayWidgets w_;
    const connection::ShownCaptions& captions_;
    QTimer frame_;
    const connection::DeviceStatus* status_ = nullptr;
    // The row in force when the grid was last repainted; -1 before the first refresh.
    int markedTable_ = -1;
};

} // namespace zr::app
