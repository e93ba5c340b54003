#pragma once

#include "device/hid/simulated/SimulatedHidBus.h"
#include "support/WaitUntil.h"

#include <QThread>

#include <mutex>
#include <vector>

namespace zr::hid::test {

// The meter as the platform shows it: 04D7/013F, 65-byte reports, no report IDs.
inline SimulatedDeviceInfo meterInfo() {
    SimulatedDeviceInfo info;
    info.vendorId = 0x04D7;
    info.productId = 0x013F;
    info.version = 0x0100;
    info.product = QStringLiteral("ZR6040 Octane Meter");
    info.serial = QStringLiteral("SN000123");
    info.caps.inputReportByteLength = 65;
    info.caps.outputReportByteLength = 65;
    return info;
}

inline SimulatedDeviceInfo otherInfo(uint16_t product, QString name = QStringLiteral("Other")) {
    SimulatedDeviceInfo info;
    info.vendorId = 0x1234;
    info.productId = product;
    info.product = std::move(name);
    info.caps.inputReportByteLength = 9;
    info.caps.outputReportByteLength = 2;
    return info;
}

// A model that records what was written to it and keeps its port.
class RecordingModel : public SimulatedDeviceModel {
public:
    void attached(std::shared_ptr<SimulatedInputPort> inputPort) override {
        std::lock_guard lock(mutex);
        port = std::move(inputPort);
        ++attachCount;
    }
    void onOutputReport(const uint8_t* data, std::size_t length) override {
        std::lock_guard lock(mutex);
        outputs.emplace_back(data, data + length);
        writerThreads.push_back(QThread::currentThread());
    }
    void detached() override {
        std::lock_guard lock(mutex);
        ++detachCount;
    }

    std::mutex mutex;
    std::shared_ptr<SimulatedInputPort> port;
    std::vector<std::vector<uint8_t>> outputs;
    std::vector<QThread*> writerThreads;
    int attachCount = 0;
    int detachCount = 0;
};

// A full-length input report of the meter: ID 0, then `fill` + i.
inline std::vector<uint8_t> meterReport(uint8_t fill) {
    std::vector<uint8_t> report(65, 0);
    for (std::size_t i = 1; i < report.size(); ++i) {
        report[i] = static_cast<uint8_t>(fill + i);
    }
    return report;
}

} // namespace zr::hid::test
