#pragma once

#include "device/hid/HidPlatform.h"
#include "device/hid/HidPnPInfo.h"

#include <QString>

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>

namespace zr::hid {

class HidDeviceController;
class HidDeviceReadThread;

// One HID interface found by a device scan. Created, owned and destroyed by its controller only;
// handed out by HidDeviceController::claimDevice() and given back with
// HidDeviceController::returnDevice(). Every member is for the main thread.
class HidDevice {
public:
    // Input reports: device, report ID (buffer byte 0), the bytes after it and their count.
    // Always called on the main thread.
    using DataHandler = std::function<void(HidDevice& device, uint8_t reportId, const uint8_t* data,
                                           uint16_t size)>;
    // A read that could not be started, with errno.
    using ReadErrorHandler = std::function<void(HidDevice& device, int errorCode)>;
    // Called once when a scan finds the device gone.
    using UnplugHandler = std::function<void(HidDevice& device)>;

    static constexpr int kDefaultReadWaitSlice = 100;
    static constexpr int kMinReadWaitSlice = 10;
    static constexpr int kMaxReadWaitSlice = 10000;

    HidDevice(const HidDevice&) = delete;
    HidDevice& operator=(const HidDevice&) = delete;

    // Attributes, read at creation (0 when the device could not be opened at all).
    uint16_t vendorId() const { return attributes_.vendorId; }
    uint16_t productId() const { return attributes_.productId; }
    uint16_t versionNumber() const { return attributes_.versionNumber; }
    const HidAttributes& attributes() const { return attributes_; }

    // Cached after the first successful read; empty if none or not accessible.
    QString productString();
    QString serialString();
    // The capability record; zeroed when it cannot be had.
    HidCaps capabilities();

    // Writes one output report synchronously; byte 0 of data is the report ID. Fails without
    // calling the platform when the device is not accessible.
    WriteResult writeReport(const uint8_t* data, std::size_t length);

    // Input-report buffers of the synchronous / read handle; the value read back is what the
    // platform really keeps (Linux: hidraw's fixed 64 per open file). 0 = not set.
    void setInputQueueDepth(int count);
    int inputQueueDepth() const { return inputQueueDepth_; }
    void setReadQueueDepth(int count);
    int readQueueDepth() const { return readQueueDepth_.load(); }

    // None (empty function): stops the reader and waits until it has ended, then clears the
    // handler. A handler: stored; the reader starts if the device is Present, Claimed and
    // OpenedReadWrite and no reader runs.
    void setDataHandler(DataHandler handler);
    bool hasDataHandler() const { return static_cast<bool>(dataHandler_); }
    void setReadErrorHandler(ReadErrorHandler handler);
    bool hasReadErrorHandler() const { return static_cast<bool>(readErrorHandler_); }
    void setUnplugHandler(UnplugHandler handler);
    bool hasUnplugHandler() const { return static_cast<bool>(unplugHandler_); }

    // Wait slice of the reader in ms; a value outside 10..10000 is ignored.
    void setReadWaitSlice(int ms);
    int readWaitSlice() const { return readWaitSlice_.load(); }

    bool isPresent() const { return present_.load(); }
    bool isClaimed() const { return claimed_.load(); }
    bool inScanCallback() const { return inScanCallback_.load(); }
    bool openedReadWrite() const { return openedReadWrite_; }
    // errno of the last read-write open that failed (at creation or at the last reopening);
    // 0 while the device opened read-write. Writes to such a device fail with it.
    int openError() const { return openError_; }
    // Present and (Claimed or InScanCallback): may be opened, queried and written.
    bool isAccessible() const;
    // true while a reader thread exists for this device.
    bool hasReader() const { return reader_ != nullptr; }
    // Reader statistics over the device object's life (tests, diagnostics): reports and read
    // errors handed to the main thread, wait slices that ran out while no stop was asked for, and
    // how often the reader found its queue full (the main thread lagging behind the device).
    std::uint64_t reportsHandedOver() const { return reportsHandedOver_.load(); }
    std::uint64_t readErrorsHandedOver() const { return readErrorsHandedOver_.load(); }
    std::uint64_t readSlicesRunOut() const { return readSlicesRunOut_.load(); }
    std::uint64_t readQueueFull() const { return readQueueFull_.load(); }

    const HidPnPInfo& pnpInfo() const { return *pnpInfo_; }
    // The controller whose list holds the device; nullptr once the controller is gone.
    HidDeviceController* controller() const { return controller_; }

private:
    friend class HidDeviceController;
    friend class HidDeviceReadThread;
    friend struct std::default_delete<HidDevice>;

    // Releases only what the device holds: stops its reader (waiting for its end), closes its
    // handles. The controller's list is the controller's business.
    ~HidDevice();

    // Device creation (from a HidPnPInfo); throws HidControllerError when the device
    // cannot be identified.
    HidDevice(HidDeviceController* controller, HidPlatform& platform,
              std::unique_ptr<HidPnPInfo> info, DataHandler data, UnplugHandler unplug);

    // A string query through the synchronous handle, cached once it succeeded.
    QString cachedString(QString& cache, std::optional<QString> (HidHandle::*query)());
    std::unique_ptr<HidHandle> openHandle(HidOpenMode mode, int* errorCode);
    bool openSyncHandle(int* errorCode = nullptr);
    void closeSyncHandle();
    // The read handle, opened if needed (reader thread or main thread); nullptr with errno.
    std::shared_ptr<HidHandle> acquireReadHandle(int* errorCode);
    void closeHandles();
    void unplug();
    void startReaderIfReady();
    // Stops the reader (waiting for its end) but keeps the handler.
    void stopReader();
    // Stops the reader and closes the handles (the device's part of being returned or
    // destroyed).
    void release();
    void deliverReport(uint8_t reportId, const uint8_t* data, uint16_t size);
    void deliverReadError(int errorCode);

    HidDeviceController* controller_ = nullptr;
    HidPlatform* platform_ = nullptr;
    std::unique_ptr<HidPnPInfo> pnpInfo_;
    // Expires when the object is destroyed: lets the controller notice a device that a handler
    // destroyed (returned) while it was raised for it.
    std::shared_ptr<int> lifeToken_ = std::make_shared<int>(0);
    // Set once the device is being returned or destroyed: no reader starts any more.
    bool releasing_ = false;

    std::atomic<bool> present_{true};
    std::atomic<bool> claimed_{false};
    std::atomic<bool> inScanCallback_{false};
    bool openedReadWrite_ = false;
    int openError_ = 0;
    HidAttributes attributes_;
    QString productCache_;
    QString serialCache_;
    std::optional<HidCaps> preparsed_;

    std::unique_ptr<HidHandle> syncHandle_;
    // The read handle is shared with the reader thread; the slot is guarded by readMutex_ so
    // that an unplug on the main thread can close it under a waiting read (Linux cannot close a
    // file descriptor safely while another thread polls it: the handle object lives until the
    // reader let go of it, and close() only wakes the reader).
    mutable std::mutex readMutex_;
    std::shared_ptr<HidHandle> readHandle_;

    int inputQueueDepth_ = 0;
    std::atomic<int> readQueueDepth_{0};
    std::atomic<int> readWaitSlice_{kDefaultReadWaitSlice};
    std::atomic<std::uint64_t> reportsHandedOver_{0};
    std::atomic<std::uint64_t> readErrorsHandedOver_{0};
    std::atomic<std::uint64_t> readSlicesRunOut_{0};
    std::atomic<std::uint64_t> readQueueFull_{0};

    std::shared_ptr<const DataHandler> dataHandler_;
    ReadErrorHandler readErrorHandler_;
    UnplugHandler unplugHandler_;
    std::unique_ptr<HidDeviceReadThread> reader_;
};

} // namespace zr::hid
