#include "device/connection/InputReportHandler.h"

#include "device/protocol/MemoryMap.h"
#include "device/protocol/ReportBuffer.h"
#include "device/protocol/TrafficLog.h"

namespace zr::connection {

namespace {
template <typename F, typename... Args> void call(const F& route, Args&&... args) {
    if (route) {
        route(std::forward<Args>(args)...);
    }
}
} // namespace

InputReportHandler::InputReportHandler(SharedState& state, InputReportRoutes routes)
    : state_(state), routes_(std::move(routes)) {}

void InputReportHandler::handleInputReport(const std::uint8_t* payload, std::uint16_t size) {
    call(routes_.appendLogLine, protocol::formatReceiveLine(payload, size));
    if (dispatch(payload, size)) {
        call(routes_.refreshDisplay);
    }
}

bool InputReportHandler::dispatch(const std::uint8_t* payload, std::uint16_t size) {
    const auto code = protocol::replyCode(payload, size);
    if (!code) {
        return true;
    }
    switch (*code) {
    case protocol::reply::kStatusReport: {
        const auto report = protocol::decodeStatusReport(payload, size);
        if (!report) {
            return false; // too short to hold a status: logged, otherwise ignored
        }
        if (report->method != state_.status.method) {
            call(routes_.methodChanged);
        }
        state_.status = *report;
        state_.meterMethod = report->method;
        state_.statusAttachment = state_.meterAttachment;
        return true;
    }
    case protocol::reply::kStoredValuesPage: {
        if (state_.status.dataCount == 0 ||
            state_.status.dataCount > protocol::memory::kMaxStoredValues) {
            return false;
        }
        const auto page = protocol::decodeStoredValuesPage(payload, size);
        if (!page) {
            return false;
        }
        call(routes_.storedValuesPage, *page);
        return true;
    }
    case protocol::reply::kByteValue: {
        const auto reply = protocol::decodeByteValueReply(payload, size);
        if (!reply) {
            return false;
        }
        if (reply->flag == protocol::kByteValueFlag) {
            call(routes_.byteValue, reply->value);
        }
        return true;
    }
    case protocol::reply::kCalibrationEntry: {
        const auto entry = protocol::decodeCalibrationEntry(payload, size);
        if (!entry) {
            return false;
        }
        call(routes_.calibrationEntry, *entry);
        return true;
    }
    default:
        return true;
    }
}

} // namespace zr::connection
