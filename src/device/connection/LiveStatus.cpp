#include "device/connection/LiveStatus.h"

#include "common/NumberFormat.h"
#include "device/connection/MethodNames.h"
#include "device/protocol/Meter.h"

namespace zr::connection {

LiveStatus liveStatus(const DeviceStatus& status, const QLocale& locale) {
    LiveStatus shown;
    shown.methodName = methodName(status.method);
    shown.value = ShownCaptions::value(status, locale);
    shown.calibrationInForce = status.activeTable != 0;
    shown.calibrationRow =
        status.activeTable >= 1 && status.activeTable <= protocol::meter::kSlotsPerMethod
            ? status.activeTable
            : 0;
    shown.correction =
        QStringLiteral("Коррекция=") + common::formatOneDecimal(status.correction, locale);
    shown.table = QStringLiteral("Таблица=%1").arg(status.activeTable);
    shown.frequencyAndCount =
        QStringLiteral("Частота=%1 Данных=%2").arg(status.frequency).arg(status.dataCount);
    return shown;
}

void ShownCaptions::follow(const DeviceStatus& status) {
    if (!methodName(status.method).isEmpty()) {
        method_ = status.method;
    }
}

QString ShownCaptions::method() const {
    return method_ != 0 ? methodName(method_) : QStringLiteral(" ");
}

std::optional<int> ShownCaptions::methodCode() const {
    return method_ != 0 ? std::optional(method_) : std::nullopt;
}

QString ShownCaptions::value(const DeviceStatus& status, const QLocale& locale) {
    const ShownValue shown = shownValue(status);
    return common::formatNumber(shown.value, shown.decimals, locale);
}

ShownValue ShownCaptions::shownValue(const DeviceStatus& status) {
    if (!protocol::meter::frequencyIsValid(status.frequency)) {
        return {0, common::kGeneralFormat};
    }
    return {common::oneDecimalValue(status.measuredValue), common::kOneDecimal};
}
} // namespace zr::connection
