#include "device/connection/MeterFacts.h"

#include "device/hid/HidDevice.h"

#include <cerrno>

namespace zr::connection {

MeterFacts meterFacts(hid::HidDevice& meter) {
    const hid::HidCaps caps = meter.capabilities();
    return {meter.pnpInfo().devicePath(),
            meter.vendorId(),
            meter.productId(),
            meter.versionNumber(),
            meter.productString(),
            meter.serialString(),
            caps.inputReportByteLength,
            caps.outputReportByteLength,
            meter.openedReadWrite()};
}

MeterAccessFailure MeterAccessFailure::fromSystemError(int error) {
    const bool denied = error == EACCES || error == EPERM;
    return {denied ? Cause::NoPermission : Cause::OpenFailed, error};
}

} // namespace zr::connection
