#pragma once

#include "device/protocol/CommandSender.h"

#include <QString>

namespace zr::app {

// The raw commands of the service page.
class ServiceCommands {
public:
    explicit ServiceCommands(protocol::CommandSender& commands) : commands_(commands) {}

    // Reads the stored values from the first record on.
    void readStoredValuesFromFirst();
    // Reads the byte at the address typed in Edit2; an address that is not an integer raises.
    void readByteAtAddress(const QString& addressText);
    // Writes a test calibration entry into slot 1.
    void writeTestCalibration();

private:
    protocol::CommandSender& commands_;
};

} // namespace zr::app
