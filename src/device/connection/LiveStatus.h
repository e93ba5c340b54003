#pragma once

#include "common/NumberFormat.h"
#include "device/connection/SharedState.h"

#include <QLocale>
#include <QString>
#include <optional>

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

// The value of the results block as a number: the reading at one decimal, or 0 in the general
// format outside the valid frequency band.
struct ShownValue {
    double value = 0;
    int decimals = common::kGeneralFormat; // or common::kOneDecimal
};

// The method and value captions of the results block, which the measurement table copies into
// its rows. The method caption follows the statuses shown: one whose method has no name leaves
// it as it was, and it is blank before the first.
class ShownCaptions {
public:
    void follow(const DeviceStatus& status);
    QString method() const;
    // The code whose name method() shows; none before the first.
    std::optional<int> methodCode() const;
    // "0" outside the valid frequency band, so also before the first status.
    static QString value(const DeviceStatus& status, const QLocale& locale = QLocale());
    static ShownValue shownValue(const DeviceStatus& status);

private:
    int method_ = 0;
};

} // namespace zr::connection
