// Every reply decoder and the receive-line formatter on arbitrary payloads: none reads past the
// payload, and the receive line shows every byte.

#include "device/protocol/Replies.h"
#include "device/protocol/TrafficLog.h"

#include <cstdlib>
#include <vector>

using namespace zr::protocol;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    // An exact-size copy, so that the address sanitizer sees any read past the payload.
    const std::vector<uint8_t> payload(data, data + size);
    const uint8_t* p = payload.data();
    (void)replyCode(p, size);
    (void)decodeStatusReport(p, size);
    (void)decodeStoredValuesPage(p, size);
    (void)decodeByteValueReply(p, size);
    if (const auto entry = decodeCalibrationEntry(p, size)) {
        if (entry->name.size() != calibration_entry::kNameLength) {
            std::abort();
        }
    }
    if (size >= 10) {
        (void)decodeStoredValueRecord(p);
    }
    const std::string line = formatReceiveLine(p, size);
    // Two or three digits and a blank per byte.
    if (line.size() < 3 * size || line.size() > 4 * size) {
        std::abort();
    }
    return 0;
}
