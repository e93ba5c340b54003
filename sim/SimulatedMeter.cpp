#include "sim/SimulatedMeter.h"

namespace zr::sim {

hid::SimulatedDeviceInfo SimulatedMeter::deviceInfo() {
    hid::SimulatedDeviceInfo info;
    info.vendorId = protocol::meter::kVendorId;
    info.productId = protocol::meter::kProductId;
    info.version = 0x0100;
    info.product = QStringLiteral("ZR-6040 USB");
    info.serial = QStringLiteral("SIM6040");
    info.caps.inputReportByteLength = kReportLength;
    info.caps.outputReportByteLength = kReportLength;
    return info;
}

SimulatedMeter::SimulatedMeter(hid::SimulatedHidBus& bus, QObject* parent)
    : QObject(parent), bus_(&bus), device_(std::make_shared<MeterDevice>()) {
    device_->withModel(
        [](MeterModel& model) { model.sample().setNoiseAmplitude(kDefaultNoiseAmplitude); });
    connect(&statusTimer_, &QTimer::timeout, this, [this] { sendStatusReport(); });
}

SimulatedMeter::~SimulatedMeter() {
    unplug();
}

void SimulatedMeter::plug() {
    if (deviceId_ || !bus_) {
        return;
    }
    deviceId_ = bus_->plug(deviceInfo(), device_);
    updateTimer();
    emit pluggedChanged(true);
}

void SimulatedMeter::unplug() {
    if (!deviceId_) {
        return;
    }
    if (bus_) {
        bus_->unplug(*deviceId_);
    }
    deviceId_.reset();
    updateTimer();
    emit pluggedChanged(false);
}

bool SimulatedMeter::isPlugged() const {
    return deviceId_.has_value();
}

void SimulatedMeter::setTrueOctane(double octane) {
    device_->withModel([octane](MeterModel& model) { model.sample().setTrueOctane(octane); });
}

double SimulatedMeter::trueOctane() const {
    return device_->withModel([](const MeterModel& model) { return model.sample().trueOctane(); });
}

void SimulatedMeter::setFrequencyOutOfRange(bool outOfRange) {
    device_->withModel([outOfRange](MeterModel& model) {
        model.sample().setFrequencyOverride(
            outOfRange ? std::optional(MeterSample::kOutOfRangeFrequency) : std::nullopt);
    });
}

bool SimulatedMeter::frequencyOutOfRange() const {
    return device_->withModel(
        [](const MeterModel& model) { return model.sample().frequencyOverride().has_value(); });
}

void SimulatedMeter::setNoiseAmplitude(double amplitude) {
    device_->withModel(
        [amplitude](MeterModel& model) { model.sample().setNoiseAmplitude(amplitude); });
}

void SimulatedMeter::setStatusInterval(int milliseconds) {
    statusIntervalMs_ = milliseconds;
    updateTimer();
}

void SimulatedMeter::updateTimer() {
    if (deviceId_ && statusIntervalMs_ > 0) {
        statusTimer_.start(statusIntervalMs_);
    } else {
        statusTimer_.stop();
    }
}

bool SimulatedMeter::sendStatusReport() {
    const auto report = device_->sendStatusReport();
    if (!report) {
        return false;
    }
    if (const auto status = protocol::decodeStatusReport(report->data() + 1, report->size() - 1)) {
        emit statusReportSent(*status);
    }
    return true;
}

bool SimulatedMeter::sendReport(const protocol::ReportBuffer& report) {
    return device_->sendReport(report);
}

std::uint8_t SimulatedMeter::memoryByte(int address) const {
    return device_->withModel(
        [address](const MeterModel& model) { return model.memoryByte(address); });
}

} // namespace zr::sim
