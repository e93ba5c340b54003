#include "device/connection/LiveDisplay.h"

#include "common/NumberFormat.h"
#include "device/connection/MethodNames.h"
#include "device/connection/ResultsBlock.h"
#include "ui/StatusPanels.h"
#include "ui/StringGrid.h"

#include <QLabel>

namespace zr::connection {

namespace {
constexpr int kMinFrequency = 4000;
constexpr int kMaxFrequency = 5100;
} // namespace

void LiveDisplay::refresh(const DeviceStatus& status, const QLocale& locale) {
    const LiveDisplayWidgets& w = w_;
    const QString method = methodName(status.method);
    if (!method.isEmpty()) {
        w.results.methodLabel()->setText(method);
    }

    const QString table = QStringLiteral("Таблица=%1").arg(status.activeTable);
    w.results.statusOctan()->setPanelText(2, table);
    const bool slotInForce = status.activeTable >= 1 && status.activeTable <= 4;
    w.results.calibrationLabel()->setText(
        slotInForce ? w.calibrationGrid.cell(1, status.activeTable) : QString());

    QLabel* value = w.results.valuePanel();
    const QColor colour = status.activeTable != 0 ? QColor(255, 0, 0) : QColor(Qt::black);
    if (value->palette().color(QPalette::WindowText) != colour) {
        // A palette change restyles the widget: only on a real change, not on every report.
        QPalette palette = value->palette();
        palette.setColor(QPalette::WindowText, colour);
        value->setPalette(palette);
    }
    const bool valid = status.frequency >= kMinFrequency && status.frequency <= kMaxFrequency;
    value->setText(valid ? common::formatOneDecimal(status.measuredValue, locale)
                         : QStringLiteral("0"));

    w.results.statusOctan()->setPanelText(
        1, QStringLiteral("Коррекция=") + common::formatOneDecimal(status.correction, locale));
    w.status.setPanelText(
        3, QStringLiteral("Частота=%1 Данных=%2").arg(status.frequency).arg(status.dataCount));
    // The grid marks the row in force when it paints; a repaint is due only when that row moved,
    // since the grid repaints itself when its cells change.
    if (markedTable_ != status.activeTable) {
        markedTable_ = status.activeTable;
        w.calibrationGrid.viewport()->update();
    }
}

} // namespace zr::connection
