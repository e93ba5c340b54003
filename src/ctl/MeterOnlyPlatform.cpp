#include "ctl/MeterOnlyPlatform.h"

#include "device/protocol/Meter.h"

namespace zr::ctl {

MeterOnlyPlatform::MeterOnlyPlatform(hid::HidPlatform& platform, QString devicePath, QString serial)
    : platform_(platform), devicePath_(std::move(devicePath)), serial_(std::move(serial)) {
    connect(&platform_, &hid::HidPlatform::devicesChanged, this, &hid::HidPlatform::devicesChanged);
}

bool MeterOnlyPlatform::isAvailable() const {
    return platform_.isAvailable();
}

std::vector<hid::HidInterfaceInfo> MeterOnlyPlatform::enumerate() {
    std::vector<hid::HidInterfaceInfo> meters;
    for (hid::HidInterfaceInfo& info : platform_.enumerate()) {
        if (!devicePath_.isEmpty() && info.path != devicePath_) {
            continue;
        }
        // Asking for the identity needs no access rights.
        const std::unique_ptr<hid::HidHandle> handle =
            platform_.open(info, hid::HidOpenMode::QueryOnly);
        const std::optional<hid::HidAttributes> attributes =
            handle ? handle->attributes() : std::nullopt;
        if (attributes && attributes->vendorId == protocol::meter::kVendorId &&
            attributes->productId == protocol::meter::kProductId &&
            (serial_.isEmpty() || handle->serialString() == serial_)) {
            meters.push_back(std::move(info));
        }
    }
    return meters;
}

std::unique_ptr<hid::HidHandle> MeterOnlyPlatform::open(const hid::HidInterfaceInfo& info,
                                                        hid::HidOpenMode mode, int* errorCode) {
    return platform_.open(info, mode, errorCode);
}

QList<FoundMeter> MeterOnlyPlatform::meters() {
    QList<FoundMeter> found;
    for (const hid::HidInterfaceInfo& info : enumerate()) {
        FoundMeter meter;
        meter.devicePath = info.path;
        meter.usbPath = info.properties.value(QStringLiteral("physicalLocation"));
        if (const auto handle = platform_.open(info, hid::HidOpenMode::QueryOnly)) {
            meter.serial = handle->serialString().value_or(QString());
            meter.product = handle->productString().value_or(QString());
        }
        meter.readWrite = platform_.open(info, hid::HidOpenMode::ReadWrite) != nullptr;
        found << meter;
    }
    return found;
}

} // namespace zr::ctl
