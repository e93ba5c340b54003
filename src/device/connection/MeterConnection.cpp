#include "device/connection/MeterConnection.h"

#include "device/hid/HidDeviceController.h"
#include "device/protocol/Meter.h"

namespace zr::connection {

MeterConnection::MeterConnection(hid::HidDeviceController& controller, SharedState& state,
                                 Events events)
    : controller_(controller), state_(state), events_(std::move(events)) {}

void MeterConnection::dropMeter() {
    if (state_.currentDevice) {
        state_.currentDevice->setDataHandler({});
        state_.currentDevice = nullptr;
    }
}

void MeterConnection::deviceArrived() {
    dropMeter();
    for (hid::HidDevice* device : state_.deviceList) {
        controller_.returnDevice(device);
    }
    state_.deviceList.clear();

    while (hid::HidDevice* device = controller_.claimDevice()) {
        device->setInputQueueDepth(kQueueDepth);
        device->setReadQueueDepth(kQueueDepth);
        state_.deviceList.push_back(device);
        if (device->vendorId() == protocol::meter::kVendorId &&
            device->productId() == protocol::meter::kProductId) {
            dropMeter();
            device->setDataHandler(events_.dataHandler);
            state_.currentDevice = device;
            ++state_.meterAttachment;
            const MeterFacts facts = meterFacts(*device);
            events_.meterAttached(facts);
            tellIfNotAccessible(*device, facts);
        }
    }
}

void MeterConnection::deviceRemoved(hid::HidDevice& removed) {
    // Only the meter's own removal disconnects it; other devices come and go freely.
    if (&removed != state_.currentDevice) {
        return;
    }
    events_.meterDetached();
    toldNotAccessible_.clear();
    dropMeter();
}

void MeterConnection::tellIfNotAccessible(hid::HidDevice& meter, const MeterFacts& facts) {
    // Every arrival of any device claims the meter again: tell once per arrival of the meter.
    if (meter.openedReadWrite() || !events_.meterNotAccessible ||
        toldNotAccessible_ == meter.pnpInfo().deviceInstance()) {
        return;
    }
    toldNotAccessible_ = meter.pnpInfo().deviceInstance();
    events_.meterNotAccessible(facts, MeterAccessFailure::fromSystemError(meter.openError()));
}

void MeterConnection::releaseDeviceList() {
    state_.deviceList.clear();
}

bool MeterConnection::connected() const {
    return state_.currentDevice != nullptr;
}

std::size_t MeterConnection::outputReportLength() {
    return state_.currentDevice ? state_.currentDevice->capabilities().outputReportByteLength : 0;
}

protocol::WriteOutcome MeterConnection::write(const std::uint8_t* data, std::size_t length) {
    if (!state_.currentDevice) {
        return {false, 0, 0};
    }
    const hid::WriteResult result = state_.currentDevice->writeReport(data, length);
    return {result.ok, result.bytesWritten, result.errorCode};
}

} // namespace zr::connection
