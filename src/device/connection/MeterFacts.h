#pragma once

#include <QString>
#include <cstdint>

namespace zr::hid {
class HidDevice;
}

namespace zr::connection {

// What the HID layer knows of the meter it attached.
struct MeterFacts {
    QString devicePath;
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
    std::uint16_t versionNumber = 0;
    // As the device reports it, empty when it has none.
    QString productName;
    QString serialNumber;
    // Both count the report-ID byte.
    std::uint16_t inputReportLength = 0;
    std::uint16_t outputReportLength = 0;
    bool readWrite = false;

    friend bool operator==(const MeterFacts&, const MeterFacts&) = default;
};

MeterFacts meterFacts(hid::HidDevice& meter);

// Why the meter, although attached, may not be opened read-write.
struct MeterAccessFailure {
    enum class Cause {
        NoPermission, // no udev rule gives the user the device
        OpenFailed,   // anything else the system refused the open for
    };
    Cause cause = Cause::OpenFailed;
    // errno of the failed read-write open.
    int systemError = 0;

    static MeterAccessFailure fromSystemError(int error);
    friend bool operator==(const MeterAccessFailure&, const MeterAccessFailure&) = default;
};

} // namespace zr::connection
