#include "app/LiveDisplay.h"

#include "app/ResultsBlock.h"
#include "device/connection/LiveStatus.h"
#include "ui/StatusPanels.h"
#include "ui/StringGrid.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <algorithm>

namespace zr::app {

namespace {
int frameIntervalMs() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double rate = screen && screen->refreshRate() >= 1.0 ? screen->refreshRate() : 60.0;
    return std::max(1, static_cast<int>(1000.0 / rate));
}
} // namespace

LiveDisplay::LiveDisplay(LiveDisplayWidgets widgets, const connection::ShownCaptions& captions)
    : w_(widgets), captions_(captions) {
    frame_.setSingleShot(true);
    frame_.setInterval(frameIntervalMs());
    QObject::connect(&frame_, &QTimer::timeout, [this] {
        if (status_) {
            show(*status_);
        }
    });
}

void LiveDisplay::refresh(const connection::DeviceStatus& status) {
    status_ = &status;
    if (!frame_.isActive()) {
        frame_.start();
    }
}

void LiveDisplay::show(const connection::DeviceStatus& status) {
    const LiveDisplayWidgets& w = w_;
    const connection::LiveStatus shown = connection::liveStatus(status);
    w.results.methodLabel()->setText(captions_.method());
    w.results.statusPanels()->setPanelText(2, shown.table);
    w.results.calibrationLabel()->setText(
        shown.calibrationRow != 0 ? w.calibrationGrid.cell(1, shown.calibrationRow) : QString());

    QLabel* value = w.results.valuePanel();
    const QColor colour = shown.calibrationInForce ? QColor(255, 0, 0) : QColor(Qt::black);
    if (value->palette().color(QPalette::WindowText) != colour) {
        // A palette change restyles the widget: only on a real change, not on every report.
        QPalette palette = value->palette();
        palette.setColor(QPalette::WindowText, colour);
        value->setPalette(palette);
    }
    value->setText(shown.value);
    w.results.statusPanels()->setPanelText(1, shown.correction);
    w.status.setPanelText(3, shown.frequencyAndCount);
    // The grid marks the row in force when it paints; a repaint is due only when that row moved,
    // since the grid repaints itself when its cells change.
    if (markedTable_ != status.activeTable) {
        markedTable_ = status.activeTable;
        w.calibrationGrid.redraw();
    }
}

} // namespace zr::app
