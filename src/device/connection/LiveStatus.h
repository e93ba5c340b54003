#pragma once

#include "device/connection/SharedState.h"

#include <QLocale>
#include <QString>

namespace zr::connection {

// What the live display shows of the meter's last status.
struct LiveStatus {
    // Empty for a method without a name: the shown name then stays as it was.
    QString methodName;
    // "0" outside the valid frequency band.
    QString value;
    // Red while any calibration is in force (ActiveTable not 0).
    bool calibrationInForce = false;
    // The calibration grid row whose name is shown, 0 for none.
    int calibrationRow = 0;
    QString correction;        // "Коррекция=…"
    QString table;             // "Таблица=…"
    QString frequencyAndCount; // "Частота=… Данных=…"
};

LiveStatus liveStatus(const DeviceStatus& status, const QLocale& locale = QLocale());

} // namespace zr::connection
