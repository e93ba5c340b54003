// The whole input-report path: a run of reports of arbitrary lengths and contents through
// InputReportHandler with a SharedState, as the meter's reader hands them over. Every report is
// logged once, and the routes see only what the decoders accepted.

#include "device/connection/InputReportHandler.h"
#include "device/connection/SharedState.h"

#include <cstdlib>
#include <vector>

using namespace zr;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    connection::SharedState state;
    std::size_t logged = 0;
    std::size_t refreshed = 0;
    connection::InputReportHandler handler(
        state, connection::InputReportRoutes{
                   .appendLogLine = [&](const std::string&) { ++logged; },
                   .calibrationEntry =
                       [](const protocol::CalibrationSlot& entry) {
                           if (entry.name.size() != protocol::calibration_entry::kNameLength) {
                               std::abort();
                           }
                       },
                   .refreshDisplay = [&] { ++refreshed; },
               });
    // Each report: one length byte, then that many payload bytes (fewer at the end).
    std::size_t reports = 0;
    std::size_t pos = 0;
    while (pos < size) {
        const std::size_t length = std::min<std::size_t>(data[pos], size - pos - 1);
        ++pos;
        const std::vector<uint8_t> payload(data + pos, data + pos + length);
        handler.handleInputReport(payload.data(), static_cast<std::uint16_t>(payload.size()));
        pos += length;
        ++reports;
    }
    if (logged != reports || refreshed > reports) {
        std::abort();
    }
    return 0;
}
