#include "app/ServiceCommands.h"

#include "common/AppError.h"
#include "device/protocol/IntegerText.h"
#include "device/protocol/MemoryMap.h"

namespace zr::app {

void ServiceCommands::Button1Click() {
    commands_.readStoredValues(protocol::memory::kFirstRecordAddress);
}

void ServiceCommands::Button2Click(const QString& addressText) {
    const auto address = protocol::parseInt32(addressText.toStdString());
    if (!address) {
        throw common::AppError(
            QStringLiteral("'%1' is not a valid integer value").arg(addressText));
    }
    commands_.readByte(*address);
}

void ServiceCommands::Button3Click() {
    // A neutral line (slope 1, no offset) under a recognisable name.
    commands_.writeCalibrationEntry(protocol::CalibrationSlot{1, "2222", 1, 1000, 0});
}

} // namespace zr::app
