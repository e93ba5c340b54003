#pragma once

#include "ctl/MeterLink.h"
#include "device/hid/HidPlatform.h"

#include <QList>
#include <QString>

namespace zr::ctl {

// The platform's HID services narrowed to the meter (and, when a device node or a serial number
// is given, to the meter at that node or with that number), so that whatever claims the devices it
// lists claims nothing else: a keyboard or another program's device is never opened for reading.
class MeterOnlyPlatform : public hid::HidPlatform {
    Q_OBJECT
public:
    MeterOnlyPlatform(hid::HidPlatform& platform, QString devicePath, QString serial = {});

    bool isAvailable() const override;
    std::vector<hid::HidInterfaceInfo> enumerate() override;
    std::unique_ptr<hid::HidHandle> open(const hid::HidInterfaceInfo& info, hid::HidOpenMode mode,
                                         int* errorCode = nullptr) override;

    // The meters present, each opened only to read its names and to try read-write access, and
    // closed again.
    QList<FoundMeter> meters();

private:
    hid::HidPlatform& platform_;
    QString devicePath_;
    QString serial_;
};

} // namespace zr::ctl
