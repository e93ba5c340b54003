#include "sim/MeterDevice.h"

#include <utility>

namespace zr::sim {

void MeterDevice::attached(std::shared_ptr<hid::SimulatedInputPort> port) {
    std::lock_guard lock(mutex_);
    port_ = std::move(port);
}

void MeterDevice::detached() {
    std::lock_guard lock(mutex_);
    port_.reset();
}

void MeterDevice::onOutputReport(const std::uint8_t* data, std::size_t length) {
    std::shared_ptr<hid::SimulatedInputPort> port;
    std::optional<protocol::ReportBuffer> reply;
    {
        std::lock_guard lock(mutex_);
        reply = model_.handleCommand(data, length);
        port = port_;
    }
    if (reply && port) {
        port->pushInputReport(reply->data(), reply->size());
    }
}

std::optional<protocol::ReportBuffer> MeterDevice::sendStatusReport() {
    std::shared_ptr<hid::SimulatedInputPort> port;
    protocol::ReportBuffer report;
    {
        std::lock_guard lock(mutex_);
        if (!port_) {
            return std::nullopt;
        }
        port = port_;
        report = model_.statusReport();
    }
    if (!port->pushInputReport(report.data(), report.size())) {
        return std::nullopt;
    }
    return report;
}

bool MeterDevice::sendReport(const protocol::ReportBuffer& report) {
    std::shared_ptr<hid::SimulatedInputPort> port;
    {
        std::lock_guard lock(mutex_);
        port = port_;
    }
    return port && port->pushInputReport(report.data(), report.size());
}

} // namespace zr::sim
