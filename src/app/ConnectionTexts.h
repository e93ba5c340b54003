#pragma once

#include "device/connection/MeterFacts.h"

#include <QString>

namespace zr::app {

// What the window tells the user when the meter is found but cannot be opened; %1 is the reason.
inline constexpr const char* kMeterNotAccessibleText =
    "Прибор ZR-6040 найден, но открыть его нельзя: %1.\n"
    "Установите правило udev для прибора (см. раздел «Using it with a real meter» в README) и "
    "переподключите прибор.";

// That message, its reason written as the traffic log writes an open error ("Permission denied
// (D)").
QString meterNotAccessibleText(const connection::MeterAccessFailure& failure);

// Panel 0 of the status bar while the meter is attached: its name passed through the ANSI code
// page, as everything shown is.
QString meterNameText(const connection::MeterFacts& meter);

} // namespace zr::app
