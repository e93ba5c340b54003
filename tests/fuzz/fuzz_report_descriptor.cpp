// The report-descriptor parser on arbitrary bytes: it never reads past the end, and what it
// accepts gives report lengths hidraw can deliver.

#include "device/hid/ReportDescriptor.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const auto info = zr::hid::parseReportDescriptor(data, size);
    if (!info) {
        return 0;
    }
    const zr::hid::HidCaps caps = info->caps();
    for (const uint16_t length :
         {caps.inputReportByteLength, caps.outputReportByteLength, caps.featureReportByteLength}) {
        if (length > zr::hid::kMaxReportBytes) {
            std::abort();
        }
    }
    // A report that exists has at least its ID byte and one bit.
    if (!info->inputBits.empty() && caps.inputReportByteLength == 0 &&
        info->inputBits.begin()->second > 0) {
        std::abort();
    }
    return 0;
}
