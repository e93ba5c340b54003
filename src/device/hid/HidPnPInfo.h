#pragma once

#include "device/hid/HidPlatform.h"

#include <QString>

namespace zr::hid {

// The plug-and-play description of one HID interface (owned by its device; moves to the fresh
// copy when a device is returned).
struct HidPnPInfo {
    HidInterfaceInfo interface;

    // The device path of the interface (Linux: /dev/hidrawN).
    const QString& devicePath() const { return interface.path; }
    // The identity that scans compare (Linux: the syspath).
    const QString& deviceInstance() const { return interface.identity; }
    // Descriptive properties; nothing in the system reads them.
    const QMap<QString, QString>& properties() const { return interface.properties; }
};

} // namespace zr::hid
