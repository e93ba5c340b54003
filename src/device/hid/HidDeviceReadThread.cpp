#include "device/hid/HidDeviceReadThread.h"

#include "device/hid/HidDevice.h"

#include <QDebug>
#include <QMetaObject>
#include <QObject>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

namespace zr::hid {

namespace {
// Slots start on their own cache line: the reader fills one while the main thread reads another.
constexpr std::size_t kSlotAlignment = 64;
} // namespace

struct HidDeviceReadThread::Shared {
    // A report read (its length), or a read that failed (its errno).
    struct Entry {
        std::uint16_t length = 0;
        bool readError = false;
        int errorCode = 0;
    };

    HidDevice* device = nullptr;
    std::size_t reportLength = 0;
    std::size_t slotStride = 0;
    // kQueueLength report buffers; the reader reads straight into the one after the queued ones.
    std::vector<uint8_t> buffers;

    std::mutex mutex;
    // The reader waits here for room, a stop or the end of a slice.
    std::condition_variable cv;
    // Guarded by mutex: the queue (entries head … head + count - 1), whether a wake-up of the
    // main thread is on its way or under way, whether the reader waits for room, and the read
    // handle in use (so that stop() can cancel a waiting read).
    std::array<Entry, kQueueLength> entries{};
    std::size_t head = 0;
    std::size_t count = 0;
    bool wakeUpPosted = false;
    bool waitingForRoom = false;
    std::shared_ptr<HidHandle> current;

    std::atomic<bool> stopRequested{false};

    // Main thread only.
    std::unique_ptr<QObject> context; // lives on the main thread; target of the wake-ups
    std::thread thread;

    uint8_t* slot(std::size_t index) { return buffers.data() + index * slotStride; }

    // --- reader thread ---
    void run(const std::weak_ptr<Shared>& self);
    // The free slot the next read goes into; nullptr once a stop was asked for.
    uint8_t* waitForRoom();
    void push(const Entry& entry, const std::weak_ptr<Shared>& self);
    void queueReadError(int code, const std::weak_ptr<Shared>& self);
    // true when a stop was asked for.
    bool waitOneSlice(int sliceMs);

    // --- main thread ---
    static void drain(const std::shared_ptr<Shared>& s);
    void deliver(const Entry& entry, const uint8_t* data);
};

uint8_t* HidDeviceReadThread::Shared::waitForRoom() {
    std::unique_lock lock(mutex);
    if (count == kQueueLength) {
        device->readQueueFull_.fetch_add(1);
        waitingForRoom = true;
        cv.wait(lock, [this] { return stopRequested.load() || count < kQueueLength; });
        waitingForRoom = false;
    }
    return stopRequested.load() ? nullptr : slot((head + count) % kQueueLength);
}

// Wakes the main thread only when no wake-up is pending: one wake-up carries all that arrived.
void HidDeviceReadThread::Shared::push(const Entry& entry, const std::weak_ptr<Shared>& self) {
    bool wake = false;
    {
        std::lock_guard lock(mutex);
        entries[(head + count) % kQueueLength] = entry;
        ++count;
        wake = !wakeUpPosted;
        wakeUpPosted = true;
    }
    if (wake) {
        QMetaObject::invokeMethod(
            context.get(),
            [self] {
                if (auto s = self.lock()) {
                    drain(s);
                }
            },
            Qt::QueuedConnection);
    }
}

bool HidDeviceReadThread::Shared::waitOneSlice(int sliceMs) {
    std::unique_lock lock(mutex);
    return cv.wait_for(lock, std::chrono::milliseconds(sliceMs),
                       [this] { return stopRequested.load(); });
}

// A read that cannot start or that failed (device gone, handle closed) is handed over as an
// error. One slice passes before the next try, so that a device gone for good does not keep a
// core busy until its owner stops the reader.
void HidDeviceReadThread::Shared::queueReadError(int code, const std::weak_ptr<Shared>& self) {
    device->readErrorsHandedOver_.fetch_add(1);
    push(Entry{0, true, code}, self);
    if (!waitOneSlice(device->readWaitSlice())) {
        device->readSlicesRunOut_.fetch_add(1);
    }
}

// The device outlives this loop: it is destroyed only after its reader was stopped and joined.
void HidDeviceReadThread::Shared::run(const std::weak_ptr<Shared>& self) {
    HidDevice* const dev = device;
    while (!stopRequested.load()) {
        uint8_t* const buffer = waitForRoom();
        if (buffer == nullptr) {
            break;
        }
        // A zeroed report buffer for every read.
        std::fill(buffer, buffer + reportLength, uint8_t{0});
        // The read handle, opened first if needed.
        int errorCode = 0;
        std::shared_ptr<HidHandle> handle = dev->acquireReadHandle(&errorCode);
        if (!handle) {
            queueReadError(errorCode, self);
            continue;
        }
        {
            std::lock_guard lock(mutex);
            current = handle;
        }
        // Wait in slices for the read to complete or a stop to be asked.
        for (;;) {
            if (stopRequested.load()) {
                break;
            }
            const HidReadResult r = handle->read(buffer, reportLength, dev->readWaitSlice());
            if (stopRequested.load()) {
                break;
            }
            if (r.status == HidReadResult::Status::Timeout) {
                dev->readSlicesRunOut_.fetch_add(1);
                continue; // the read stays outstanding; wait another slice
            }
            if (r.status == HidReadResult::Status::Data && r.length > 0) {
                dev->reportsHandedOver_.fetch_add(1);
                push(Entry{static_cast<std::uint16_t>(r.length), false, 0}, self);
            } else if (r.status == HidReadResult::Status::Failed) {
                queueReadError(r.errorCode, self);
            }
            // Cancelled, or a read that completed with no bytes: nothing to hand over.
            break;
        }
        {
            std::lock_guard lock(mutex);
            current.reset();
        }
    }
}

void HidDeviceReadThread::Shared::deliver(const Entry& entry, const uint8_t* data) {
    try {
        if (entry.readError) {
            device->deliverReadError(entry.errorCode);
        } else {
            // Report ID in byte 0, the bytes after it separately.
            device->deliverReport(data[0], data + 1, static_cast<uint16_t>(entry.length - 1));
        }
    } catch (const std::exception& e) {
        qCritical("HID: a handler raised an exception: %s", e.what());
    } catch (...) {
        qCritical("HID: a handler raised an exception");
    }
}

// Hands over, one at a time and in order, all that is queued, including what arrives meanwhile.
// No second wake-up is posted before this pass found the queue empty, so a nested event loop
// inside one of the handlers never starts a second pass.
void HidDeviceReadThread::Shared::drain(const std::shared_ptr<Shared>& s) {
    for (;;) {
        Entry entry;
        const uint8_t* data = nullptr;
        {
            std::lock_guard lock(s->mutex);
            if (s->count == 0 || s->stopRequested.load()) {
                s->wakeUpPosted = false;
                break;
            }
            entry = s->entries[s->head];
            data = s->slot(s->head);
        }
        s->deliver(entry, data);
        if (s->stopRequested.load()) {
            break; // the handler stopped this reader; its device may be gone
        }
        bool wakeReader = false;
        {
            std::lock_guard lock(s->mutex);
            s->head = (s->head + 1) % kQueueLength;
            --s->count;
            wakeReader = s->waitingForRoom;
        }
        if (wakeReader) {
            s->cv.notify_one();
        }
    }
}

HidDeviceReadThread::HidDeviceReadThread(HidDevice& device, std::size_t reportLength)
    : s_(std::make_shared<Shared>()) {
    s_->device = &device;
    s_->reportLength = reportLength;
    s_->slotStride = (reportLength + kSlotAlignment - 1) / kSlotAlignment * kSlotAlignment;
    s_->buffers.assign(kQueueLength * s_->slotStride, 0);
    s_->context = std::make_unique<QObject>();
}

HidDeviceReadThread::~HidDeviceReadThread() {
    stop();
}

void HidDeviceReadThread::start() {
    if (s_->thread.joinable() || s_->stopRequested.load()) {
        return;
    }
    // The thread holds the shared state weakly, so that it always dies on the main thread.
    Shared* raw = s_.get();
    std::weak_ptr<Shared> self = s_;
    s_->thread = std::thread([raw, self] { raw->run(self); });
}

void HidDeviceReadThread::stop() {
    Shared& s = *s_;
    s.stopRequested.store(true);
    {
        std::lock_guard lock(s.mutex);
        if (s.current) {
            s.current->cancelRead();
        }
    }
    s.cv.notify_all();
    if (s.thread.joinable()) {
        s.thread.join();
    }
}

} // namespace zr::hid
