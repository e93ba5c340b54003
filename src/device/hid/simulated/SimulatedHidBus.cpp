#include "device/hid/simulated/SimulatedHidBus.h"

#include <QMetaObject>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <map>
#include <mutex>

namespace zr::hid {

namespace {
class SimulatedHandle;
} // namespace

// The bus's list of devices, shared with the handles: the last handle of an unplugged device
// takes it off the list, also after the bus itself is gone.
struct SimulatedRegistry;

// One virtual device: its description, its model and its open handles. One mutex guards all of
// it, including the input queues of the handles.
struct SimulatedInputPort::State {
    SimulatedDeviceId id = 0;
    SimulatedDeviceInfo info;
    HidInterfaceInfo iface;
    std::weak_ptr<SimulatedRegistry> registry;

    mutable std::mutex mutex;
    bool plugged = true;
    int writeError = 0;
    std::shared_ptr<SimulatedDeviceModel> model;
    std::vector<SimulatedHandle*> handles;
    int waitingReads = 0;
    SimulatedHidBus::CloseObserver closeObserver;
};

struct SimulatedRegistry {
    mutable std::mutex mutex;
    // The devices plugged in, and those unplugged while a handle is still open on them.
    std::map<SimulatedDeviceId, std::shared_ptr<SimulatedInputPort::State>> devices;

    // Forgets an unplugged device that no handle holds any more. Takes both locks, the
    // registry's first.
    void forgetIfUnused(SimulatedDeviceId id) {
        std::shared_ptr<SimulatedInputPort::State> gone; // released after both locks
        std::lock_guard lock(mutex);
        const auto it = devices.find(id);
        if (it == devices.end()) {
            return;
        }
        {
            std::lock_guard deviceLock(it->second->mutex);
            if (it->second->plugged || !it->second->handles.empty()) {
                return;
            }
        }
        gone = std::move(it->second);
        devices.erase(it);
    }
};

namespace {

using State = SimulatedInputPort::State;

class SimulatedHandle final : public HidHandle {
public:
    SimulatedHandle(std::shared_ptr<State> device, HidOpenMode mode)
        : device_(std::move(device)), mode_(mode) {
        std::lock_guard lock(device_->mutex);
        device_->handles.push_back(this);
    }

    ~SimulatedHandle() override {
        bool lastOfGone = false;
        {
            std::lock_guard lock(device_->mutex);
            auto& handles = device_->handles;
            handles.erase(std::remove(handles.begin(), handles.end(), this), handles.end());
            lastOfGone = handles.empty() && !device_->plugged;
        }
        if (lastOfGone) {
            if (const auto registry = device_->registry.lock()) {
                registry->forgetIfUnused(device_->id);
            }
        }
    }

    bool hasQueue() const { return mode_ != HidOpenMode::QueryOnly; }
    bool isOpen() const { return !closed_; } // under device mutex
    HidOpenMode mode() const { return mode_; }

    // Under the device mutex.
    void enqueue(const std::vector<uint8_t>& report) {
        if (closed_ || !hasQueue()) {
            return;
        }
        while (static_cast<int>(queue_.size()) >= depth_) {
            queue_.pop_front(); // a full queue drops its oldest report
        }
        queue_.push_back(report);
        wake_.notify_all();
    }
    std::size_t queued() const { return queue_.size(); }
    void wakeAll() { wake_.notify_all(); }

    bool isReadWrite() const override { return mode_ == HidOpenMode::ReadWrite; }

    std::optional<HidAttributes> attributes() override {
        std::lock_guard lock(device_->mutex);
        if (closed_ || !device_->plugged || !device_->info.identifiable) {
            return std::nullopt;
        }
        const auto& i = device_->info;
        return HidAttributes{i.vendorId, i.productId, i.version};
    }

    std::optional<QString> productString() override {
        std::lock_guard lock(device_->mutex);
        if (closed_ || !device_->plugged) {
            return std::nullopt;
        }
        return device_->info.product;
    }

    std::optional<QString> serialString() override {
        std::lock_guard lock(device_->mutex);
        if (closed_ || !device_->plugged) {
            return std::nullopt;
        }
        return device_->info.serial;
    }

    std::optional<HidCaps> capabilities() override {
        std::lock_guard lock(device_->mutex);
        if (closed_ || !device_->plugged) {
            return std::nullopt;
        }
        return device_->info.caps;
    }

    WriteResult write(const uint8_t* data, std::size_t length) override {
        std::shared_ptr<SimulatedDeviceModel> model;
        {
            std::lock_guard lock(device_->mutex);
            if (closed_ || mode_ != HidOpenMode::ReadWrite) {
                return {false, 0, EBADF};
            }
            if (!device_->plugged) {
                return {false, 0, ENODEV};
            }
            if (device_->writeError != 0) {
                return {false, 0, device_->writeError};
            }
            const auto& i = device_->info;
            if (data == nullptr || length == 0 || length > i.caps.outputReportByteLength) {
                return {false, 0, EINVAL};
            }
            model = device_->model;
        }
        if (model) {
            model->onOutputReport(data, length);
        }
        return {true, length, 0};
    }

    HidReadResult read(uint8_t* buffer, std::size_t capacity, int timeoutMs) override {
        std::unique_lock lock(device_->mutex);
        if (closed_) {
            return {HidReadResult::Status::Cancelled, 0, 0}; // closed under the reader
        }
        if (!hasQueue()) {
            return {HidReadResult::Status::Failed, 0, EBADF};
        }
        const auto ready = [&] {
            return cancel_ || closed_ || !device_->plugged || !queue_.empty();
        };
        ++device_->waitingReads;
        wake_.wait_for(lock, std::chrono::milliseconds(std::max(timeoutMs, 0)), ready);
        --device_->waitingReads;
        if (cancel_ || closed_) {
            cancel_ = false;
            return {HidReadResult::Status::Cancelled, 0, 0};
        }
        if (!device_->plugged) {
            return {HidReadResult::Status::Failed, 0, ENODEV};
        }
        if (queue_.empty()) {
            return {HidReadResult::Status::Timeout, 0, 0};
        }
        std::vector<uint8_t> report = std::move(queue_.front());
        queue_.pop_front();
        const std::size_t n = std::min(capacity, report.size());
        if (n > 0) {
            std::memcpy(buffer, report.data(), n);
        }
        return {HidReadResult::Status::Data, n, 0};
    }

    void cancelRead() override {
        std::lock_guard lock(device_->mutex);
        cancel_ = true;
        wake_.notify_all();
    }

    void close() override {
        SimulatedHidBus::CloseObserver observer;
        {
            std::lock_guard lock(device_->mutex);
            if (closed_) {
                return;
            }
            closed_ = true;
            queue_.clear();
            wake_.notify_all();
            observer = device_->closeObserver;
        }
        if (observer) {
            observer(mode_);
        }
    }

    bool setQueueDepth(int count) override {
        std::lock_guard lock(device_->mutex);
        if (closed_ || !hasQueue() || count < SimulatedHidBus::kMinQueueDepth ||
            count > SimulatedHidBus::kMaxQueueDepth) {
            return false;
        }
        depth_ = count;
        while (static_cast<int>(queue_.size()) > depth_) {
            queue_.pop_front();
        }
        return true;
    }

    int queueDepth() const override {
        std::lock_guard lock(device_->mutex);
        return (closed_ || !hasQueue()) ? 0 : depth_;
    }

private:
    std::shared_ptr<State> device_;
    const HidOpenMode mode_;
    // Guarded by device_->mutex.
    bool closed_ = false;
    bool cancel_ = false;
    int depth_ = SimulatedHidBus::kDefaultQueueDepth;
    std::deque<std::vector<uint8_t>> queue_;
    std::condition_variable wake_;
};

} // namespace

// ---------------------------------------------------------------------------------------------
// SimulatedInputPort

SimulatedInputPort::SimulatedInputPort(std::shared_ptr<State> state) : state_(std::move(state)) {}

bool SimulatedInputPort::pushInputReport(std::vector<uint8_t> report) {
    std::lock_guard lock(state_->mutex);
    const auto& info = state_->info;
    if (!state_->plugged || report.empty() || report.size() != info.caps.inputReportByteLength) {
        return false;
    }
    if (info.caps.numberedReports != (report[0] != 0)) {
        return false; // unnumbered devices send ID 0, numbered ones never do
    }
    for (SimulatedHandle* handle : state_->handles) {
        handle->enqueue(report);
    }
    return true;
}

bool SimulatedInputPort::pushInputReport(const uint8_t* data, std::size_t length) {
    if (data == nullptr) {
        return false;
    }
    return pushInputReport(std::vector<uint8_t>(data, data + length));
}

bool SimulatedInputPort::isPlugged() const {
    std::lock_guard lock(state_->mutex);
    return state_->plugged;
}

SimulatedDeviceId SimulatedInputPort::id() const {
    return state_->id;
}

std::size_t SimulatedInputPort::pendingReports() const {
    std::lock_guard lock(state_->mutex);
    std::size_t most = 0;
    for (const SimulatedHandle* handle : state_->handles) {
        most = std::max(most, handle->queued());
    }
    return most;
}

// ---------------------------------------------------------------------------------------------
// SimulatedHidBus

namespace {

// Takes a device off the bus: its open handles start failing and its model is told, outside the
// device's lock. False if it was not plugged in.
bool pullOut(SimulatedInputPort::State& state) {
    std::shared_ptr<SimulatedDeviceModel> model;
    {
        std::lock_guard lock(state.mutex);
        if (!state.plugged) {
            return false;
        }
        state.plugged = false;
        for (SimulatedHandle* handle : state.handles) {
            handle->wakeAll();
        }
        model = std::move(state.model);
    }
    if (model) {
        model->detached();
    }
    return true;
}

} // namespace

struct SimulatedHidBus::Impl {
    // Guards available, nextId and enumerateCount; the device list has the registry's lock.
    mutable std::mutex mutex;
    bool available = true;
    int nextId = 1;
    int enumerateCount = 0;
    std::shared_ptr<SimulatedRegistry> registry = std::make_shared<SimulatedRegistry>();

    std::shared_ptr<State> lookup(SimulatedDeviceId id) const {
        std::lock_guard lock(registry->mutex);
        const auto it = registry->devices.find(id);
        return it == registry->devices.end() ? nullptr : it->second;
    }

    std::vector<std::shared_ptr<State>> snapshot() const {
        std::lock_guard lock(registry->mutex);
        std::vector<std::shared_ptr<State>> all;
        all.reserve(registry->devices.size());
        for (const auto& [id, state] : registry->devices) {
            all.push_back(state);
        }
        return all;
    }
};

SimulatedHidBus::SimulatedHidBus(QObject* parent)
    : HidPlatform(parent), d_(std::make_unique<Impl>()) {}

SimulatedHidBus::~SimulatedHidBus() {
    for (const auto& state : d_->snapshot()) {
        pullOut(*state);
    }
}

void SimulatedHidBus::postNotice() {
    QMetaObject::invokeMethod(
        this, [this] { emit devicesChanged(); }, Qt::QueuedConnection);
}

SimulatedDeviceId SimulatedHidBus::plug(const SimulatedDeviceInfo& info,
                                        std::shared_ptr<SimulatedDeviceModel> model) {
    auto state = std::make_shared<State>();
    {
        std::lock_guard lock(d_->mutex);
        state->id = d_->nextId++;
    }
    state->registry = d_->registry;
    state->info = info;
    if (state->info.path.isEmpty()) {
        state->info.path = QStringLiteral("/dev/simhid%1").arg(state->id);
    }
    if (state->info.identity.isEmpty()) {
        state->info.identity = QStringLiteral("sim:%1").arg(state->id);
    }
    state->iface.identity = state->info.identity;
    state->iface.path = state->info.path;
    state->iface.properties.insert(QStringLiteral("subsystem"), QStringLiteral("simulated"));
    state->iface.properties.insert(QStringLiteral("name"), state->info.product);
    state->iface.properties.insert(QStringLiteral("hardwareId"),
                                   QStringLiteral("HID\\VID_%1&PID_%2")
                                       .arg(info.vendorId, 4, 16, QLatin1Char('0'))
                                       .arg(info.productId, 4, 16, QLatin1Char('0'))
                                       .toUpper());
    state->model = model;
    {
        std::lock_guard lock(d_->registry->mutex);
        d_->registry->devices.emplace(state->id, state);
    }
    if (model) {
        model->attached(std::make_shared<SimulatedInputPort>(state));
    }
    postNotice();
    return state->id;
}

bool SimulatedHidBus::unplug(SimulatedDeviceId id) {
    const std::shared_ptr<State> state = d_->lookup(id);
    if (!state) {
        return false;
    }
    if (!pullOut(*state)) {
        return false;
    }
    d_->registry->forgetIfUnused(id);
    postNotice();
    return true;
}

void SimulatedHidBus::unplugAll() {
    for (SimulatedDeviceId id : pluggedDevices()) {
        unplug(id);
    }
}

bool SimulatedHidBus::isPlugged(SimulatedDeviceId id) const {
    const std::shared_ptr<State> state = d_->lookup(id);
    if (!state) {
        return false;
    }
    std::lock_guard lock(state->mutex);
    return state->plugged;
}

std::vector<SimulatedDeviceId> SimulatedHidBus::pluggedDevices() const {
    const std::vector<std::shared_ptr<State>> all = d_->snapshot();
    std::vector<SimulatedDeviceId> ids;
    for (const auto& state : all) {
        std::lock_guard lock(state->mutex);
        if (state->plugged) {
            ids.push_back(state->id);
        }
    }
    return ids;
}

std::shared_ptr<SimulatedInputPort> SimulatedHidBus::inputPort(SimulatedDeviceId id) const {
    const std::shared_ptr<State> state = d_->lookup(id);
    if (!state || !isPlugged(id)) {
        return nullptr;
    }
    return std::make_shared<SimulatedInputPort>(state);
}

void SimulatedHidBus::setAvailable(bool available) {
    std::lock_guard lock(d_->mutex);
    d_->available = available;
}

void SimulatedHidBus::raiseChangeNotice() {
    postNotice();
}

int SimulatedHidBus::openHandleCount(SimulatedDeviceId id) const {
    return openHandles(id, std::nullopt);
}

int SimulatedHidBus::openHandleCount(SimulatedDeviceId id, HidOpenMode mode) const {
    return openHandles(id, mode);
}

int SimulatedHidBus::openHandles(SimulatedDeviceId id, std::optional<HidOpenMode> mode) const {
    const std::shared_ptr<State> state = d_->lookup(id);
    if (!state) {
        return 0;
    }
    std::lock_guard lock(state->mutex);
    return static_cast<int>(std::count_if(
        state->handles.begin(), state->handles.end(),
        [mode](const SimulatedHandle* h) { return h->isOpen() && (!mode || h->mode() == *mode); }));
}

int SimulatedHidBus::waitingReadCount(SimulatedDeviceId id) const {
    const std::shared_ptr<State> state = d_->lookup(id);
    if (!state) {
        return 0;
    }
    std::lock_guard lock(state->mutex);
    return state->waitingReads;
}

void SimulatedHidBus::setCloseObserver(SimulatedDeviceId id, CloseObserver observer) {
    const std::shared_ptr<State> state = d_->lookup(id);
    if (state) {
        std::lock_guard lock(state->mutex);
        state->closeObserver = std::move(observer);
    }
}

std::size_t SimulatedHidBus::knownDeviceCount() const {
    std::lock_guard lock(d_->registry->mutex);
    return d_->registry->devices.size();
}

void SimulatedHidBus::setWriteError(SimulatedDeviceId id, int errorCode) {
    const std::shared_ptr<State> state = d_->lookup(id);
    if (state) {
        std::lock_guard lock(state->mutex);
        state->writeError = errorCode;
    }
}

int SimulatedHidBus::enumerateCount() const {
    std::lock_guard lock(d_->mutex);
    return d_->enumerateCount;
}

bool SimulatedHidBus::isAvailable() const {
    std::lock_guard lock(d_->mutex);
    return d_->available;
}

std::vector<HidInterfaceInfo> SimulatedHidBus::enumerate() {
    {
        std::lock_guard lock(d_->mutex);
        ++d_->enumerateCount;
        if (!d_->available) {
            return {};
        }
    }
    const std::vector<std::shared_ptr<State>> all = d_->snapshot();
    std::vector<HidInterfaceInfo> result;
    for (const auto& state : all) {
        std::lock_guard lock(state->mutex);
        if (state->plugged) {
            result.push_back(state->iface);
        }
    }
    return result;
}

std::unique_ptr<HidHandle> SimulatedHidBus::open(const HidInterfaceInfo& info, HidOpenMode mode,
                                                 int* errorCode) {
    const auto fail = [errorCode](int code) -> std::unique_ptr<HidHandle> {
        if (errorCode != nullptr) {
            *errorCode = code;
        }
        return nullptr;
    };
    std::shared_ptr<State> state;
    if (!isAvailable()) {
        return fail(ENOSYS);
    }
    {
        std::lock_guard lock(d_->registry->mutex);
        for (const auto& [id, candidate] : d_->registry->devices) {
            if (candidate->iface.identity == info.identity || candidate->iface.path == info.path) {
                std::lock_guard deviceLock(candidate->mutex);
                if (candidate->plugged) {
                    state = candidate;
                    break;
                }
            }
        }
    }
    if (!state) {
        return fail(ENOENT);
    }
    {
        std::lock_guard lock(state->mutex);
        if (mode != HidOpenMode::QueryOnly && !state->info.openableReadWrite) {
            return fail(EACCES);
        }
    }
    if (errorCode != nullptr) {
        *errorCode = 0;
    }
    return std::make_unique<SimulatedHandle>(state, mode);
}

} // namespace zr::hid
