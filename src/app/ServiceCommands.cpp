#include "app/ServiceCommands.h"

#include "common/AppError.h"
#include "device/protocol/IntegerText.h"
#include "device/protocol/MemoryMap.h"

namespace zr::app {

void ServiceCommands::readStoredValuesFromFirst() {
    commands_.readStoredValues(protocol::memory::kFirstRecordAddress);
}

void ServiceCommands::readByteAtAddress(const QString& addressText) {
    const auto address = protocol::parseInt32(addressText.toStdString());
    if (!address) {
        throw common::AppError(
            QStringLiteral("'%1' is not a valid integer value").arg(addressText));
    }
    commands_.readByte(*address);
}

void ServiceCommands::writeTestCalibration() {
    // A neutral line (slope 1, no offset) under a recognisable name.
    commands_.writeCalibrationEntry(protocol::CalibrationSlot{1, "2222", 1, 1000, 0});
}

} // namespace zr::app
