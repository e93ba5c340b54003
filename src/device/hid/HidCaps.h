#pragma once

#include <cstdint>

namespace zr::hid {

// The capability record of a device: what the layer above needs of its report layout.
// A zeroed record means "unknown". Report lengths count the report-ID byte and are 0 when the
// device has no report of that kind.
struct HidCaps {
    uint16_t usage = 0;
    uint16_t usagePage = 0;
    uint16_t inputReportByteLength = 0;
    uint16_t outputReportByteLength = 0;
    uint16_t featureReportByteLength = 0;
    // true when the report descriptor declares report IDs (reports are "numbered").
    bool numberedReports = false;

    friend bool operator==(const HidCaps&, const HidCaps&) = default;
};

} // namespace zr::hid
