#include "device/hid/HidDevice.h"

#include "device/hid/HidControllerError.h"
#include "device/hid/HidDeviceController.h"
#include "device/hid/HidDeviceReadThread.h"

#include <QDebug>

#include <cerrno>

namespace zr::hid {

namespace {
// Product and serial caches hold at most 254 characters, up to the first zero character.
QString cacheText(const QString& text) {
    QString result = text;
    const auto zero = result.indexOf(QChar(u'\0'));
    if (zero >= 0) {
        result.truncate(zero);
    }
    return result.left(254);
}
} // namespace

HidDevice::HidDevice(HidDeviceController* controller, HidPlatform& platform,
                     std::unique_ptr<HidPnPInfo> info, DataHandler data, UnplugHandler unplug)
    : controller_(controller), platform_(&platform), pnpInfo_(std::move(info)) {
    // No reader starts here: the device is not claimed yet.
    unplugHandler_ = std::move(unplug);
    setDataHandler(std::move(data));
    // Read-write, else with no access rights (enough to identify and query the device).
    int errorCode = 0;
    std::unique_ptr<HidHandle> handle =
        platform_->open(pnpInfo_->interface, HidOpenMode::ReadWrite, &errorCode);
    openedReadWrite_ = handle != nullptr;
    openError_ = handle ? 0 : (errorCode != 0 ? errorCode : ENODEV);
    if (!handle) {
        handle = platform_->open(pnpInfo_->interface, HidOpenMode::QueryOnly, nullptr);
    }
    // Without any handle the attributes stay 0 and the device is still listed.
    if (handle) {
        const std::optional<HidAttributes> attributes = handle->attributes();
        if (!attributes) {
            throw HidControllerError("device cannot be identified");
        }
        attributes_ = *attributes;
    }
}

HidDevice::~HidDevice() {
    release();
}

void HidDevice::release() {
    releasing_ = true;
    stopReader();
    closeHandles();
    preparsed_.reset();
}

bool HidDevice::isAccessible() const {
    return present_.load() && (claimed_.load() || inScanCallback_.load());
}

std::unique_ptr<HidHandle> HidDevice::openHandle(HidOpenMode mode, int* errorCode) {
    int code = 0;
    std::unique_ptr<HidHandle> handle = platform_->open(pnpInfo_->interface, mode, &code);
    if (!handle && errorCode != nullptr) {
        *errorCode = code != 0 ? code : ENODEV;
    }
    return handle;
}

namespace {
int notAccessibleError(bool present) {
    return present ? EPERM : ENODEV;
}
} // namespace

bool HidDevice::openSyncHandle(int* errorCode) {
    if (!isAccessible()) {
        if (errorCode != nullptr) {
            *errorCode = notAccessibleError(present_.load());
        }
        return false;
    }
    if (syncHandle_) {
        return true;
    }
    int openCode = 0;
    std::unique_ptr<HidHandle> handle = openHandle(HidOpenMode::ReadWrite, &openCode);
    openedReadWrite_ = handle != nullptr;
    openError_ = openCode;
    if (!handle) {
        handle = openHandle(HidOpenMode::QueryOnly, errorCode);
    }
    if (!handle) {
        return false;
    }
    syncHandle_ = std::move(handle);
    if (inputQueueDepth_ != 0) {
        syncHandle_->setQueueDepth(inputQueueDepth_);
        inputQueueDepth_ = syncHandle_->queueDepth();
    }
    return true;
}

void HidDevice::closeSyncHandle() {
    if (syncHandle_) {
        syncHandle_->close();
        syncHandle_.reset();
    }
    inputQueueDepth_ = 0;
}

std::shared_ptr<HidHandle> HidDevice::acquireReadHandle(int* errorCode) {
    std::lock_guard lock(readMutex_);
    if (readHandle_) {
        return readHandle_;
    }
    if (!isAccessible()) {
        if (errorCode != nullptr) {
            *errorCode = notAccessibleError(present_.load());
        }
        return nullptr;
    }
    std::unique_ptr<HidHandle> handle = openHandle(HidOpenMode::Read, errorCode);
    if (!handle) {
        return nullptr;
    }
    readHandle_ = std::shared_ptr<HidHandle>(std::move(handle));
    const int depth = readQueueDepth_.load();
    if (depth != 0) {
        readHandle_->setQueueDepth(depth);
        readQueueDepth_.store(readHandle_->queueDepth());
    }
    return readHandle_;
}

void HidDevice::closeHandles() {
    closeSyncHandle();
    std::shared_ptr<HidHandle> read;
    {
        std::lock_guard lock(readMutex_);
        read = std::move(readHandle_);
        readHandle_.reset();
        readQueueDepth_.store(0);
    }
    if (read) {
        // Wakes a reader waiting on it; the handle object (and the file) goes when the reader
        // let go of it too, a moment later.
        read->close();
    }
}

void HidDevice::unplug() {
    // Not Present first: a reader woken by the close must not open the path again (a device
    // attached meanwhile may have taken it).
    present_.store(false);
    closeHandles();
    if (unplugHandler_) {
        UnplugHandler handler = std::move(unplugHandler_);
        unplugHandler_ = nullptr;
        handler(*this);
    }
}

QString HidDevice::cachedString(QString& cache, std::optional<QString> (HidHandle::*query)()) {
    if (cache.isEmpty() && openSyncHandle()) {
        const std::optional<QString> text = ((*syncHandle_).*query)();
        if (text) {
            cache = cacheText(*text);
        }
        closeSyncHandle();
    }
    return cache;
}

QString HidDevice::productString() {
    return cachedString(productCache_, &HidHandle::productString);
}

QString HidDevice::serialString() {
    return cachedString(serialCache_, &HidHandle::serialString);
}

HidCaps HidDevice::capabilities() {
    if (!preparsed_ && openSyncHandle()) {
        preparsed_ = syncHandle_->capabilities();
        closeSyncHandle();
    }
    return preparsed_.value_or(HidCaps{});
}

WriteResult HidDevice::writeReport(const uint8_t* data, std::size_t length) {
    int errorCode = 0;
    if (!openSyncHandle(&errorCode)) {
        return {false, 0, errorCode};
    }
    if (!openedReadWrite_) {
        // A query-only handle: the write would only fail with EBADF; the open error tells why.
        return {false, 0, openError_};
    }
    return syncHandle_->write(data, length); // the synchronous handle stays open
}

void HidDevice::setInputQueueDepth(int count) {
    if (count == inputQueueDepth_ || !openSyncHandle()) {
        return;
    }
    syncHandle_->setQueueDepth(count);
    inputQueueDepth_ = syncHandle_->queueDepth();
}

void HidDevice::setReadQueueDepth(int count) {
    if (count == readQueueDepth_.load()) {
        return;
    }
    // Opening the read handle here applies the old depth; then the new one is asked for.
    std::shared_ptr<HidHandle> handle = acquireReadHandle(nullptr);
    if (!handle) {
        return;
    }
    handle->setQueueDepth(count);
    std::lock_guard lock(readMutex_);
    if (readHandle_ == handle) {
        readQueueDepth_.store(handle->queueDepth());
    }
}

void HidDevice::setDataHandler(DataHandler handler) {
    if (!handler) {
        stopReader();
        dataHandler_.reset();
        return;
    }
    dataHandler_ = std::make_shared<const DataHandler>(std::move(handler));
    startReaderIfReady();
}

void HidDevice::setReadErrorHandler(ReadErrorHandler handler) {
    readErrorHandler_ = std::move(handler);
}

void HidDevice::setUnplugHandler(UnplugHandler handler) {
    unplugHandler_ = std::move(handler);
}

void HidDevice::setReadWaitSlice(int ms) {
    if (ms >= kMinReadWaitSlice && ms <= kMaxReadWaitSlice) {
        readWaitSlice_.store(ms);
    }
}

void HidDevice::startReaderIfReady() {
    if (!dataHandler_ || reader_ || releasing_ || !present_.load() || !claimed_.load() ||
        !openedReadWrite_) {
        return;
    }
    // The capabilities are fetched here, on the main thread; the reader only uses the length.
    // Without a usable input report length (none, or a malformed descriptor) nothing is read.
    const HidCaps caps = capabilities();
    if (caps.inputReportByteLength == 0) {
        return;
    }
    reader_ = std::make_unique<HidDeviceReadThread>(*this, caps.inputReportByteLength);
    reader_->start();
}

void HidDevice::stopReader() {
    if (reader_) {
        // The reader stays in place while it stops, so that no second reader starts meanwhile.
        reader_->stop();
        reader_.reset();
    }
}

void HidDevice::deliverReport(uint8_t reportId, const uint8_t* data, uint16_t size) {
    // A copy of the handler: it may clear itself (or destroy this device) while it runs.
    const std::shared_ptr<const DataHandler> handler = dataHandler_;
    if (handler && *handler) {
        (*handler)(*this, reportId, data, size);
    }
}

void HidDevice::deliverReadError(int errorCode) {
    const ReadErrorHandler handler = readErrorHandler_;
    if (handler) {
        handler(*this, errorCode);
    }
}

} // namespace zr::hid
