#include "app/ConnectionTexts.h"

#include "common/Cp1251.h"
#include "device/protocol/TrafficLog.h"

namespace zr::app {

QString meterNotAccessibleText(const connection::MeterAccessFailure& failure) {
    return QString::fromUtf8(kMeterNotAccessibleText)
        .arg(QString::fromStdString(protocol::formatSystemError(failure.systemError)));
}

QString meterNameText(const connection::MeterFacts& meter) {
    return common::fromCp1251(common::toCp1251(meter.productName));
}

} // namespace zr::app
