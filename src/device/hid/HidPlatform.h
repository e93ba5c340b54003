#pragma once

// The platform interface of the HID layer: everything the layer above
// (HidDeviceController, HidDevice, HidDeviceReadThread) needs from the operating system's HID
// services. Back ends: LinuxHidPlatform (libudev + hidraw) and SimulatedHidBus (in process).
//
// Framing, the same for every back end: byte 0 of every report buffer is the report ID
// (0 for devices without numbered reports); InputReportByteLength and OutputReportByteLength
// count that byte.

#include "device/hid/HidCaps.h"

#include <QMap>
#include <QObject>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace zr::hid {

// VendorID, ProductID, VersionNumber of a device.
struct HidAttributes {
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    uint16_t versionNumber = 0;

    friend bool operator==(const HidAttributes&, const HidAttributes&) = default;
};

// One HID interface found by HidPlatform::enumerate().
struct HidInterfaceInfo {
    // Stable identity of the interface across scans (Linux: the hidraw device's syspath;
    // simulated: "sim:<id>").
    QString identity;
    // What HidPlatform::open() opens (Linux: /dev/hidrawN).
    QString path;
    // Descriptive properties (subsystem, driver, name, ids, ...). Nothing in the system reads them.
    QMap<QString, QString> properties;
};

enum class HidOpenMode {
    ReadWrite, // read and write access, for queries and writes (the "synchronous handle")
    QueryOnly, // no access rights: identity, strings and capabilities only
    Read,      // read access, used only by the reader thread (the "read handle")
};

// Outcome of one HidHandle::read().
struct HidReadResult {
    enum class Status {
        Data,      // a report was read: `length` bytes in the buffer, ID byte first
        Timeout,   // nothing arrived within the time slice; the read stays outstanding
        Cancelled, // cancelRead() or close() ended the wait; no bytes
        Failed,    // the read could not be done; `errorCode` holds errno
    };
    Status status = Status::Timeout;
    std::size_t length = 0;
    int errorCode = 0;
};

// Outcome of HidDevice::writeReport() and HidHandle::write().
struct WriteResult {
    bool ok = false;
    std::size_t bytesWritten = 0;
    int errorCode = 0; // errno at failure, 0 on success
};

// One open handle on a device. Destroying it closes it.
// Thread rules: read() is called by one thread at a time (the reader); cancelRead() and close()
// may be called from any thread while a read() waits, and make it return promptly. All other
// members are called from the main thread only.
class HidHandle {
public:
    virtual ~HidHandle() = default;

    // true if this handle has read and write access.
    virtual bool isReadWrite() const = 0;
    virtual std::optional<HidAttributes> attributes() = 0;
    // The product string; nullopt when the query fails, "" when the device has none.
    virtual std::optional<QString> productString() = 0;
    // The real serial number; nullopt when the query fails, "" when the device has none.
    virtual std::optional<QString> serialString() = 0;
    // nullopt when the capabilities cannot be had (no readable report descriptor).
    virtual std::optional<HidCaps> capabilities() = 0;
    // Writes one output report (byte 0 = report ID), synchronously.
    virtual WriteResult write(const uint8_t* data, std::size_t length) = 0;
    // Waits at most timeoutMs for one input report and reads it into buffer (ID byte first,
    // also for devices without numbered reports), at most `capacity` bytes.
    virtual HidReadResult read(uint8_t* buffer, std::size_t capacity, int timeoutMs) = 0;
    // Makes a read() waiting now (or the next one to start) return Cancelled. Any thread.
    virtual void cancelRead() = 0;
    // Closes the handle: a waiting read() returns Cancelled, every later operation fails.
    // Any thread.
    virtual void close() = 0;
    // Asks the platform for `count` input-report buffers on this handle; false if refused.
    virtual bool setQueueDepth(int count) = 0;
    // The number of input-report buffers the platform really keeps for this handle
    // (0 when the handle has no input queue).
    virtual int queueDepth() const = 0;
};

// The platform's HID services. Lives on the main thread; devicesChanged() is emitted there.
class HidPlatform : public QObject {
    Q_OBJECT
public:
    explicit HidPlatform(QObject* parent = nullptr) : QObject(parent) {}
    ~HidPlatform() override = default;

    // false when the platform's HID services cannot be had: the controller then reports no
    // devices and starts no scan.
    virtual bool isAvailable() const = 0;
    // The HID interfaces present now, in the platform's order.
    virtual std::vector<HidInterfaceInfo> enumerate() = 0;
    // Opens an interface; nullptr on failure with errno (or the back end's equivalent) in
    // *errorCode when given. Thread-safe: a reader thread opens its read handle itself.
    virtual std::unique_ptr<HidHandle> open(const HidInterfaceInfo& info, HidOpenMode mode,
                                            int* errorCode = nullptr) = 0;

signals:
    // The device-change notice: raised on the main thread, from the event loop, once for every
    // change of the present devices.
    void devicesChanged();
};

} // namespace zr::hid
