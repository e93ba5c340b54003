#pragma once

#include "ctl/MeterLink.h"

#include <QTimer>
#include <functional>

namespace zr::test {

// The commands' meter, played by the test: each request runs the test's answer from the event
// loop, as a real meter's replies come.
class FakeMeterLink : public ctl::MeterLink {
public:
    QList<ctl::FoundMeter> meters;
    std::function<void()> onStart;
    std::function<void()> onFetchStoredValues;
    std::function<void()> onFetchCalibrations;
    std::function<void()> onSelectMethod;
    int calibrationMethodAsked = 0;
    int methodSelected = 0;
    int startCount = 0;

    QList<ctl::FoundMeter> findMeters() override { return meters; }
    void start() override {
        ++startCount;
        later(onStart);
    }
    void fetchStoredValues() override { later(onFetchStoredValues); }
    void fetchCalibrations(int method) override {
        calibrationMethodAsked = method;
        later(onFetchCalibrations);
    }
    void selectMethod(int method) override {
        methodSelected = method;
        later(onSelectMethod);
    }

    void later(const std::function<void()>& action) {
        if (action) {
            QTimer::singleShot(0, this, action);
        }
    }

    static protocol::StatusReport status(std::uint8_t method, float value,
                                         std::uint16_t frequency = 4500,
                                         std::uint8_t dataCount = 0) {
        protocol::StatusReport s;
        s.method = method;
        s.measuredValue = value;
        s.frequency = frequency;
        s.dataCount = dataCount;
        return s;
    }
};

} // namespace zr::test
