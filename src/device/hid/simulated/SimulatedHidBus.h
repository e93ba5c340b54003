#pragma once

// An in-process virtual HID bus that implements HidPlatform. Test code and the meter simulator
// plug virtual devices in and pull them out; every change raises the platform's device-change
// notice (HidPlatform::devicesChanged) from the event loop of the bus's thread, as a real
// platform would. Nothing is raised synchronously inside plug() or unplug().
//
// Framing is that of the whole HID layer: byte 0 of every report is the
// report ID (0 for devices without numbered reports); report lengths count that byte.
//
// Input queues behave like the kernel's: every open handle of a device with an input queue
// (ReadWrite and Read handles) keeps its own queue of reports pushed after it was opened; a
// full queue drops its oldest report; a report pushed while no handle is open is lost.

#include "device/hid/HidPlatform.h"

#include <QString>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace zr::hid {

using SimulatedDeviceId = int;

// What a virtual device looks like to the platform.
struct SimulatedDeviceInfo {
    // Device path reported by enumerate(); empty: "/dev/simhid<id>".
    QString path;
    // Identity across scans; empty: "sim:<id>". Two plugged devices must not share one.
    QString identity;
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    uint16_t version = 0;
    QString product;
    QString serial;
    // Report lengths count the report-ID byte (the meter: 65 and 65); the usage is the meter's
    // vendor-defined one unless a test says otherwise.
    HidCaps caps{0x0001, 0xFF00, 0, 0, 0, false};
    // false: opening read-write (and for reading) fails with EACCES, like a keyboard held by
    // the system; the device can still be opened query-only.
    bool openableReadWrite = true;
    // false: the attribute query fails (the layer leaves such a device out of its scans).
    bool identifiable = true;
};

// The handle through which a model (or a test) pushes input reports. Thread-safe: any thread,
// any timer. Stays valid after the device was unplugged (pushes are then refused).
class SimulatedInputPort {
public:
    struct State; // internal
    explicit SimulatedInputPort(std::shared_ptr<State> state);

    // Queues one input report on every open handle of the device. The report must be full
    // length (exactly inputReportLength bytes, byte 0 = report ID; for devices without numbered
    // reports byte 0 must be 0), as the kernel drops short reports. Returns false (and queues
    // nothing) when the length or ID is wrong or the device is unplugged.
    bool pushInputReport(std::vector<uint8_t> report);
    bool pushInputReport(const uint8_t* data, std::size_t length);

    bool isPlugged() const;
    SimulatedDeviceId id() const;
    // Number of reports queued and not yet read on the fullest open handle (for pacing).
    std::size_t pendingReports() const;

private:
    std::shared_ptr<State> state_;
};

// The behaviour of a virtual device.
class SimulatedDeviceModel {
public:
    virtual ~SimulatedDeviceModel() = default;

    // Called once by plug(), on the plugging thread, before the change notice is posted.
    // Keep the port to push input reports.
    virtual void attached(std::shared_ptr<SimulatedInputPort> port) { (void)port; }

    // Receives one written output report (byte 0 = report ID, `length` bytes as written, at
    // most outputReportLength), on the writing thread (the main thread in the program).
    // May push input reports in reply.
    virtual void onOutputReport(const uint8_t* data, std::size_t length) = 0;

    // Called once by unplug() (or the bus's destruction), on that thread. The port refuses
    // pushes from now on.
    virtual void detached() {}
};

class SimulatedHidBus : public HidPlatform {
    Q_OBJECT
public:
    // Input-report buffers of a fresh handle: 32, accepted range 2..512.
    static constexpr int kDefaultQueueDepth = 32;
    static constexpr int kMinQueueDepth = 2;
    static constexpr int kMaxQueueDepth = 512;

    explicit SimulatedHidBus(QObject* parent = nullptr);
    ~SimulatedHidBus() override; // detaches every model; open handles start failing

    SimulatedHidBus(const SimulatedHidBus&) = delete;
    SimulatedHidBus& operator=(const SimulatedHidBus&) = delete;

    // Plugs a device in (any thread); the model may be null (then output reports are dropped
    // and input reports can be pushed through inputPort()). Posts one change notice.
    SimulatedDeviceId plug(const SimulatedDeviceInfo& info,
                           std::shared_ptr<SimulatedDeviceModel> model = nullptr);
    // Pulls a device out (any thread): open handles fail from now on (reads with ENODEV/EIO,
    // writes with ENODEV), as on unplugging a real device. Posts one change notice.
    // false if the id is not plugged.
    bool unplug(SimulatedDeviceId id);
    void unplugAll();

    bool isPlugged(SimulatedDeviceId id) const;
    std::vector<SimulatedDeviceId> pluggedDevices() const;
    // The input port of a plugged device (nullptr if not plugged).
    std::shared_ptr<SimulatedInputPort> inputPort(SimulatedDeviceId id) const;

    // Test hooks.
    // false: the bus behaves like a platform without HID services (no devices, no scan).
    void setAvailable(bool available);
    // Posts one device-change notice without any change.
    void raiseChangeNotice();
    // Handles now open on the device, all modes together, or only those of one mode.
    int openHandleCount(SimulatedDeviceId id) const;
    int openHandleCount(SimulatedDeviceId id, HidOpenMode mode) const;
    // Reads now blocked on the device's handles, waiting for a report, a cancel or the unplug.
    int waitingReadCount(SimulatedDeviceId id) const;
    // Called on the closing thread, outside the bus's locks, whenever a handle of the device is
    // closed (once per handle), with the handle's mode.
    using CloseObserver = std::function<void(HidOpenMode mode)>;
    void setCloseObserver(SimulatedDeviceId id, CloseObserver observer);
    // Devices the bus still knows: those plugged in and those unplugged with a handle still
    // open. An unplugged device is forgotten once its last handle is gone.
    std::size_t knownDeviceCount() const;
    // Makes every write to the device fail with this errno (0: writes work again).
    void setWriteError(SimulatedDeviceId id, int errorCode);
    // How many times enumerate() was called.
    int enumerateCount() const;

    // HidPlatform
    bool isAvailable() const override;
    std::vector<HidInterfaceInfo> enumerate() override;
    std::unique_ptr<HidHandle> open(const HidInterfaceInfo& info, HidOpenMode mode,
                                    int* errorCode = nullptr) override;

private:
    void postNotice();
    int openHandles(SimulatedDeviceId id, std::optional<HidOpenMode> mode) const;

    struct Impl;
    std::unique_ptr<Impl> d_;
};

} // namespace zr::hid
