#pragma once

#include "device/hid/simulated/SimulatedHidBus.h"
#include "device/protocol/Meter.h"
#include "device/protocol/Replies.h"
#include "sim/MeterDevice.h"

#include <QObject>
#include <QPointer>
#include <QTimer>

#include <cstdint>
#include <memory>
#include <optional>

namespace zr::sim {

// The simulated ZR-6040 on a simulated HID bus: plugs in as the meter, answers commands and
// sends a status report unasked at a steady rate while plugged in. Controls are for the main
// thread; commands may arrive on any thread.
class SimulatedMeter : public QObject {
    Q_OBJECT
public:
    static constexpr int kReportLength = 65;
    static constexpr int kDefaultStatusIntervalMs = 500;
    // Readings wander by up to this much, as a real cell's do.
    static constexpr double kDefaultNoiseAmplitude = 0.04;

    static hid::SimulatedDeviceInfo deviceInfo();

    explicit SimulatedMeter(hid::SimulatedHidBus& bus, QObject* parent = nullptr);
    // Unplugs the meter if the bus is still there.
    ~SimulatedMeter() override;

    void plug();
    void unplug();
    bool isPlugged() const;

    void setTrueOctane(double octane);
    double trueOctane() const;
    void setFrequencyOutOfRange(bool outOfRange);
    bool frequencyOutOfRange() const;
    void setNoiseAmplitude(double amplitude);

    // Interval of the unasked status reports; 0 or less stops them (tests send them by hand).
    void setStatusInterval(int milliseconds);
    int statusInterval() const { return statusIntervalMs_; }

    // One status report now, as the timer sends it; false when not plugged in.
    bool sendStatusReport();
    // Any report as if the meter sent it (for reports the model would never build).
    bool sendReport(const protocol::ReportBuffer& report);

    MeterDevice& device() { return *device_; }
    std::uint8_t memoryByte(int address) const;

signals:
    void pluggedChanged(bool plugged);
    void statusReportSent(const zr::protocol::StatusReport& status);

private:
    void updateTimer();

    QPointer<hid::SimulatedHidBus> bus_;
    std::shared_ptr<MeterDevice> device_;
    std::optional<hid::SimulatedDeviceId> deviceId_;
    QTimer statusTimer_;
    int statusIntervalMs_ = kDefaultStatusIntervalMs;
};

} // namespace zr::sim
