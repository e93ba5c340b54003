#pragma once

#include "device/connection/MeterFacts.h"
#include "device/protocol/CalibrationSlot.h"
#include "device/protocol/Replies.h"

#include <QList>
#include <QObject>
#include <QString>

namespace zr::ctl {

// One meter on the bus, as `list` shows it.
struct FoundMeter {
    QString devicePath;
    QString serial;
    bool readWrite = false;
    QString product;
    // The USB port as the kernel names the meter's HID interface (HID_PHYS), the same for the
    // same port across plugging and reboots; empty where the system does not say.
    QString usbPath;
};

// The meter as the commands see it. The program binds it to a meter session; tests fake it.
// Every answer comes as a signal on the thread that runs the event loop.
class MeterLink : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // The meters present now, without claiming any.
    virtual QList<FoundMeter> findMeters() = 0;
    // Starts looking for the meter: meterFound, meterNotAccessible or noMeter follows.
    virtual void start() = 0;
    // Fetches the stored values as the window does, once a status report told their count:
    // storedValuesFetched follows.
    virtual void fetchStoredValues() = 0;
    // Asks for every calibration slot of `method`: calibrationsFetched follows.
    virtual void fetchCalibrations(int method) = 0;
    // Tells the meter to measure by `method`; its next status reports confirm it.
    virtual void selectMethod(int method) = 0;

signals:
    void meterFound(const zr::connection::MeterFacts& meter);
    // The meter is there but may not be opened read-write.
    void meterNotAccessible(const zr::connection::MeterFacts& meter,
                            const zr::connection::MeterAccessFailure& failure);
    void noMeter();
    // Something went wrong that the command cannot go on from.
    void failed(const QString& text);
    void meterLost();
    void statusReceived(const zr::protocol::StatusReport& status);
    // The records the meter holds, in record order.
    void storedValuesFetched(const QList<zr::protocol::StoredValueRecord>& records);
    // The occupied slots, in slot order.
    void calibrationsFetched(const QList<zr::protocol::CalibrationSlot>& entries);
    // One line of the traffic with the meter, as the window's traffic log shows it.
    void trafficLine(const QString& line);
};

} // namespace zr::ctl
