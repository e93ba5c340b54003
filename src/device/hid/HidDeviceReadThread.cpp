#include "device/hid/HidDeviceReadThread.h"

#include "device/hid/HidDevice.h"

#include <QDebug>
#include <QMetaObject>
#include <QObject>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace zr::hid {
namespace {
constexpr std::chrono::microseconds kHandOverSpin{200};
} // namespace

struct HidDeviceReadThread::Shared {
    HidDevice* device = nullptr;
    std::size_t reportLength = 0;
    std::vector<uint8_t> buffer;

    std::mutex mutex;
    std::condition_variable cv;
    // The hand-over waiting for the main thread (guarded by mutex).
    std::function<void()> pending;
    bool handOverDone = false;
    // handOverDone as seen without the mutex, for the reader's short spin.
    std::atomic<bool> handOverSeenDone{false};
    bool finished = false;
    // The read handle in use, so that stop() can cancel a waiting read (guarded by mutex).
    std::shared_ptr<HidHandle> current;

    std::atomic<bool> stopRequested{false};
    std::atomic<uint64_t> delivered{0};
    std::atomic<uint64_t> errors{0};
    std::atomic<int> lastError{0};

    // Main thread only.
    std::unique_ptr<QObject> context; // lives on the main thread; target of the hand-overs
    std::thread thread;
    int runningHandOvers = 0; // > 0 while a hand-over of this reader runs on the main thread
    bool waitingForEnd = false;
    bool joinDeferred = false;

    // --- reader thread ---
    void run();
    void handOver(std::function<void()> job, std::weak_ptr<Shared> self);
    void spinWhileHandedOver() const;
    // true when a stop was asked for (the device may be gone then).
    bool waitOneSlice(int sliceMs);
    void handOverReadError(int code, const std::weak_ptr<Shared>& self);

    // --- main thread ---
    static void runPending(const std::shared_ptr<Shared>& s);
    static void waitForEnd(const std::shared_ptr<Shared>& s);
    static void requestStop(const std::shared_ptr<Shared>& s);
};

namespace {
// The weak self-reference given to queued hand-overs (the reader thread holds a raw pointer only,
// so that the shared state always dies on the main thread).
thread_local std::weak_ptr<HidDeviceReadThread::Shared> tlsSelf;
} // namespace

void HidDeviceReadThread::Shared::handOver(std::function<void()> job, std::weak_ptr<Shared> self) {
    {
        std::lock_guard lock(mutex);
        pending = std::move(job);
        handOverDone = false;
        handOverSeenDone.store(false, std::memory_order_relaxed);
    }
    cv.notify_all(); // a main thread waiting for our end carries it out itself
    QMetaObject::invokeMethod(
        context.get(),
        [self] {
            if (auto s = self.lock()) {
                runPending(s);
            }
        },
        Qt::QueuedConnection);
    spinWhileHandedOver();
    std::unique_lock lock(mutex);
    cv.wait(lock, [this] { return handOverDone; });
}

// A hand-over usually returns within tens of microseconds. Going to sleep on the condition costs
// a wake-up of about as long, which would bound a burst of reports; a short spin first avoids it.
void HidDeviceReadThread::Shared::spinWhileHandedOver() const {
    const auto until = std::chrono::steady_clock::now() + kHandOverSpin;
    while (!handOverSeenDone.load(std::memory_order_acquire) &&
           std::chrono::steady_clock::now() < until) {
        std::this_thread::yield();
    }
}

bool HidDeviceReadThread::Shared::waitOneSlice(int sliceMs) {
    std::unique_lock lock(mutex);
    return cv.wait_for(lock, std::chrono::milliseconds(sliceMs),
                       [this] { return stopRequested.load(); });
}

// A read that cannot start or that failed (device gone, handle closed) is handed to the main
// thread as an error. One slice passes before the next try, so that a device gone for good does
// not keep a core busy until its owner stops the reader.
void HidDeviceReadThread::Shared::handOverReadError(int code, const std::weak_ptr<Shared>& self) {
    HidDevice* const dev = device;
    errors.fetch_add(1);
    dev->readErrorsHandedOver_.fetch_add(1);
    lastError.store(code);
    const int slice = dev->readWaitSlice();
    handOver([dev, code] { dev->deliverReadError(code); }, self);
    // The device may be gone once a hand-over returned with a stop requested: from here on only
    // `slice` is used.
    if (!waitOneSlice(slice)) {
        dev->readSlicesRunOut_.fetch_add(1);
    }
}

void HidDeviceReadThread::Shared::run() {
    const std::weak_ptr<Shared> self = tlsSelf;
    HidDevice* const dev = device;
    while (!stopRequested.load()) {
        // A zeroed report buffer for every read.
        std::fill(buffer.begin(), buffer.end(), uint8_t{0});
        // The read handle, opened first if needed.
        int errorCode = 0;
        std::shared_ptr<HidHandle> handle = dev->acquireReadHandle(&errorCode);
        if (!handle) {
            handOverReadError(errorCode, self);
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
            const HidReadResult r =
                handle->read(buffer.data(), buffer.size(), dev->readWaitSlice());
            if (stopRequested.load()) {
                break;
            }
            if (r.status == HidReadResult::Status::Timeout) {
                dev->readSlicesRunOut_.fetch_add(1);
                continue; // the read stays outstanding; wait another slice
            }
            if (r.status == HidReadResult::Status::Data) {
                if (r.length > 0) {
                    const auto reportId = buffer[0];
                    const uint8_t* payload = buffer.data() + 1;
                    const auto size = static_cast<uint16_t>(r.length - 1);
                    delivered.fetch_add(1);
                    dev->reportsHandedOver_.fetch_add(1);
                    handOver([dev, reportId, payload,
                              size] { dev->deliverReport(reportId, payload, size); },
                             self);
                }
                break;
            }
            if (r.status == HidReadResult::Status::Failed) {
                handOverReadError(r.errorCode, self);
            }
            // Cancelled: a read that completes with no bytes is not delivered.
            break;
        }
        {
            std::lock_guard lock(mutex);
            current.reset();
        }
        handle.reset();
    }
    {
        std::lock_guard lock(mutex);
        finished = true;
    }
    cv.notify_all();
}

void HidDeviceReadThread::Shared::runPending(const std::shared_ptr<Shared>& s) {
    std::function<void()> job;
    {
        std::lock_guard lock(s->mutex);
        if (!s->pending) {
            return; // already carried out by a main thread waiting for our end
        }
        job = std::move(s->pending);
        s->pending = nullptr;
    }
    ++s->runningHandOvers;
    try {
        job();
    } catch (const std::exception& e) {
        qCritical("HID: a handler raised an exception: %s", e.what());
    } catch (...) {
        qCritical("HID: a handler raised an exception");
    }
    --s->runningHandOvers;
    {
        std::lock_guard lock(s->mutex);
        s->handOverDone = true;
        s->handOverSeenDone.store(true, std::memory_order_release);
    }
    s->cv.notify_all();
    if (s->joinDeferred && s->runningHandOvers == 0 && !s->waitingForEnd) {
        s->joinDeferred = false;
        waitForEnd(s);
    }
}

void HidDeviceReadThread::Shared::waitForEnd(const std::shared_ptr<Shared>& s) {
    if (!s->thread.joinable()) {
        return;
    }
    s->waitingForEnd = true;
    for (;;) {
        std::unique_lock lock(s->mutex);
        s->cv.wait(lock, [&] { return s->finished || static_cast<bool>(s->pending); });
        if (s->pending) {
            lock.unlock();
            runPending(s); // the reader is blocked in this hand-over: carry it out here
            continue;
        }
        break;
    }
    s->thread.join();
    s->waitingForEnd = false;
}

void HidDeviceReadThread::Shared::requestStop(const std::shared_ptr<Shared>& s) {
    s->stopRequested.store(true);
    {
        std::lock_guard lock(s->mutex);
        if (s->current) {
            s->current->cancelRead();
        }
    }
    s->cv.notify_all();
    if (s->runningHandOvers > 0 || s->waitingForEnd) {
        // Inside this reader's own hand-over (or a wait for its end further up the stack): the
        // reader cannot end before that hand-over returned; join it then.
        s->joinDeferred = true;
        return;
    }
    waitForEnd(s);
}

HidDeviceReadThread::HidDeviceReadThread(HidDevice& device, std::size_t reportLength)
    : s_(std::make_shared<Shared>()) {
    s_->device = &device;
    s_->reportLength = reportLength;
    // A device without input reports gets the largest HID report (it never delivers anyway).
    s_->buffer.assign(reportLength > 0 ? reportLength : 4096 + 1, 0);
    s_->context = std::make_unique<QObject>();
}

HidDeviceReadThread::~HidDeviceReadThread() {
    stop();
}

void HidDeviceReadThread::start() {
    if (s_->thread.joinable() || s_->stopRequested.load()) {
        return;
    }
    Shared* raw = s_.get();
    std::weak_ptr<Shared> self = s_;
    s_->thread = std::thread([raw, self] {
        tlsSelf = self;
        raw->run();
        tlsSelf.reset();
    });
}

void HidDeviceReadThread::stop() {
    // A local strong reference: a handler carried out while waiting may destroy this object.
    const std::shared_ptr<Shared> s = s_;
    if (!s->thread.joinable()) {
        s->stopRequested.store(true);
        return;
    }
    Shared::requestStop(s);
}

bool HidDeviceReadThread::isRunning() const {
    std::lock_guard lock(s_->mutex);
    return s_->thread.joinable() && !s_->finished;
}

uint64_t HidDeviceReadThread::reportsDelivered() const {
    return s_->delivered.load();
}
uint64_t HidDeviceReadThread::readErrors() const {
    return s_->errors.load();
}
int HidDeviceReadThread::lastErrorCode() const {
    return s_->lastError.load();
}
std::size_t HidDeviceReadThread::bufferLength() const {
    return s_->buffer.size();
}

} // namespace zr::hid
