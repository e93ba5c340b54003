#include "device/hid/linux/LinuxHidPlatform.h"

#include "device/hid/ReportDescriptor.h"

#include <QDebug>
#include <QSocketNotifier>

#include <libudev.h>
#include <linux/hidraw.h>

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <mutex>
#include <sstream>

namespace zr::hid {

namespace fs = std::filesystem;

static_assert(LinuxHidPlatform::kHidrawQueueDepth == HIDRAW_BUFFER_SIZE);

// ---------------------------------------------------------------------------------------------
// sysfs

namespace linux_sysfs {

std::map<std::string, std::string> readUevent(const fs::path& file) {
    std::map<std::string, std::string> values;
    std::ifstream in(file);
    std::string line;
    while (std::getline(in, line)) {
        const auto eq = line.find('=');
        if (eq != std::string::npos) {
            values.emplace(line.substr(0, eq), line.substr(eq + 1));
        }
    }
    return values;
}

std::optional<std::string> readAttribute(const fs::path& file) {
    std::ifstream in(file);
    if (!in) {
        return std::nullopt;
    }
    std::string line;
    std::getline(in, line);
    if (in.bad()) {
        return std::nullopt;
    }
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) {
        line.pop_back();
    }
    return line;
}

std::optional<std::pair<uint16_t, uint16_t>> parseHidId(const std::string& hidId) {
    unsigned bus = 0;
    unsigned vendor = 0;
    unsigned product = 0;
    char tail = 0;
    if (std::sscanf(hidId.c_str(), "%x:%x:%x%c", &bus, &vendor, &product, &tail) != 3) {
        return std::nullopt;
    }
    return std::pair<uint16_t, uint16_t>{static_cast<uint16_t>(vendor),
                                         static_cast<uint16_t>(product)};
}

std::optional<HidrawSysfs> HidrawSysfs::locate(const fs::path& syspath) {
    std::error_code ec;
    HidrawSysfs s;
    s.hidrawDir = syspath;
    s.hidDir = fs::canonical(syspath / "device", ec);
    if (ec || !fs::exists(s.hidDir / "uevent", ec)) {
        return std::nullopt;
    }
    // The USB parent: the nearest ancestor that is a usb_device (it has idVendor and bcdDevice;
    // a USB interface between it and the HID device has neither).
    for (fs::path p = s.hidDir.parent_path(); !p.empty() && p != p.root_path();
         p = p.parent_path()) {
        if (fs::exists(p / "idVendor", ec) && fs::exists(p / "bcdDevice", ec)) {
            s.usbDeviceDir = p;
            break;
        }
        if (p.filename() == "devices") {
            break;
        }
    }
    return s;
}

std::optional<std::pair<uint16_t, uint16_t>> HidrawSysfs::vendorProduct() const {
    const auto uevent = readUevent(hidDir / "uevent");
    const auto it = uevent.find("HID_ID");
    if (it == uevent.end()) {
        return std::nullopt;
    }
    return parseHidId(it->second);
}

uint16_t HidrawSysfs::version() const {
    if (!usbDeviceDir) {
        return 0;
    }
    const auto text = readAttribute(*usbDeviceDir / "bcdDevice");
    if (!text) {
        return 0;
    }
    return static_cast<uint16_t>(std::strtoul(text->c_str(), nullptr, 16));
}

namespace {
std::optional<QString> hidUeventText(const fs::path& hidDir, const char* key) {
    std::error_code ec;
    if (!fs::exists(hidDir / "uevent", ec)) {
        return std::nullopt;
    }
    const auto uevent = readUevent(hidDir / "uevent");
    const auto it = uevent.find(key);
    return it == uevent.end() ? QString() : QString::fromStdString(it->second);
}

std::optional<QString> usbText(const fs::path& usbDir, const char* attribute) {
    std::error_code ec;
    if (!fs::exists(usbDir, ec)) {
        return std::nullopt; // gone
    }
    const auto text = readAttribute(usbDir / attribute);
    return text ? QString::fromStdString(*text) : QString(); // empty when absent
}
} // namespace

std::optional<QString> HidrawSysfs::product() const {
    return usbDeviceDir ? usbText(*usbDeviceDir, "product") : hidUeventText(hidDir, "HID_NAME");
}

std::optional<QString> HidrawSysfs::serial() const {
    return usbDeviceDir ? usbText(*usbDeviceDir, "serial") : hidUeventText(hidDir, "HID_UNIQ");
}

std::optional<std::vector<uint8_t>> HidrawSysfs::reportDescriptor() const {
    std::ifstream in(hidDir / "report_descriptor", std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                               std::istreambuf_iterator<char>());
    return bytes;
}

} // namespace linux_sysfs

// ---------------------------------------------------------------------------------------------
// handles

namespace {

class LinuxHidHandle final : public HidHandle {
public:
    LinuxHidHandle(fs::path syspath, int fd, HidOpenMode mode)
        : syspath_(std::move(syspath)), fd_(fd), mode_(mode) {
        wake_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
        if (fd_ >= 0) {
            if (auto descriptor = descriptorFromFd()) {
                if (auto info = parseReportDescriptor(descriptor->data(), descriptor->size())) {
                    numbered_ = info->numberedReports;
                }
            }
        }
    }

    ~LinuxHidHandle() override {
        if (fd_ >= 0) {
            ::close(fd_);
        }
        if (wake_ >= 0) {
            ::close(wake_);
        }
    }

    bool isReadWrite() const override { return mode_ == HidOpenMode::ReadWrite && fd_ >= 0; }

    std::optional<HidAttributes> attributes() override {
        if (closed_.load()) {
            return std::nullopt;
        }
        const auto sysfs = linux_sysfs::HidrawSysfs::locate(syspath_);
        HidAttributes a;
        if (fd_ >= 0) {
            hidraw_devinfo info{};
            if (::ioctl(fd_, HIDIOCGRAWINFO, &info) < 0) {
                return std::nullopt;
            }
            a.vendorId = static_cast<uint16_t>(info.vendor);
            a.productId = static_cast<uint16_t>(info.product);
        } else {
            const auto ids = sysfs ? sysfs->vendorProduct() : std::nullopt;
            if (!ids) {
                return std::nullopt;
            }
            a.vendorId = ids->first;
            a.productId = ids->second;
        }
        a.versionNumber = sysfs ? sysfs->version() : 0;
        return a;
    }

    std::optional<QString> productString() override {
        if (closed_.load()) {
            return std::nullopt;
        }
        const auto sysfs = linux_sysfs::HidrawSysfs::locate(syspath_);
        return sysfs ? sysfs->product() : std::nullopt;
    }

    std::optional<QString> serialString() override {
        if (closed_.load()) {
            return std::nullopt;
        }
        const auto sysfs = linux_sysfs::HidrawSysfs::locate(syspath_);
        return sysfs ? sysfs->serial() : std::nullopt;
    }

    std::optional<HidCaps> capabilities() override {
        if (closed_.load()) {
            return std::nullopt;
        }
        std::optional<std::vector<uint8_t>> descriptor;
        if (fd_ >= 0) {
            descriptor = descriptorFromFd();
        } else if (const auto sysfs = linux_sysfs::HidrawSysfs::locate(syspath_)) {
            descriptor = sysfs->reportDescriptor();
        }
        if (!descriptor) {
            return std::nullopt;
        }
        const auto info = parseReportDescriptor(descriptor->data(), descriptor->size());
        if (!info) {
            return std::nullopt;
        }
        return info->caps();
    }

    WriteResult write(const uint8_t* data, std::size_t length) override {
        if (closed_.load() || fd_ < 0 || mode_ != HidOpenMode::ReadWrite) {
            return {false, 0, EBADF};
        }
        // Byte 0 is the report ID for every device, as hidraw wants it (see the header).
        ssize_t n = 0;
        do {
            n = ::write(fd_, data, length);
        } while (n < 0 && errno == EINTR);
        if (n < 0) {
            return {false, 0, errno};
        }
        return {true, static_cast<std::size_t>(n), 0};
    }

    HidReadResult read(uint8_t* buffer, std::size_t capacity, int timeoutMs) override {
        using Status = HidReadResult::Status;
        int fd = -1;
        {
            std::lock_guard lock(useMutex_);
            if (closed_.load()) {
                return {Status::Cancelled, 0, 0};
            }
            fd = fd_;
            ++readers_;
        }
        const HidReadResult result = readFrom(fd, buffer, capacity, timeoutMs);
        {
            std::lock_guard lock(useMutex_);
            --readers_;
        }
        readerLeft_.notify_all();
        return result;
    }

    HidReadResult readFrom(int fd, uint8_t* buffer, std::size_t capacity, int timeoutMs) {
        using Status = HidReadResult::Status;
        if (fd < 0 || mode_ == HidOpenMode::QueryOnly || capacity == 0) {
            return {Status::Failed, 0, EBADF};
        }
        pollfd fds[2] = {{fd, POLLIN, 0}, {wake_, POLLIN, 0}};
        const int ready = ::poll(fds, wake_ >= 0 ? 2 : 1, timeoutMs);
        if (ready < 0) {
            return errno == EINTR ? HidReadResult{Status::Timeout, 0, 0}
                                  : HidReadResult{Status::Failed, 0, errno};
        }
        if (ready == 0) {
            return {Status::Timeout, 0, 0};
        }
        if (wake_ >= 0 && (fds[1].revents & POLLIN) != 0) {
            uint64_t count = 0;
            [[maybe_unused]] const ssize_t drained = ::read(wake_, &count, sizeof count);
            return {Status::Cancelled, 0, 0};
        }
        if (fds[0].revents == 0) {
            return {Status::Timeout, 0, 0};
        }
        // Readable, or an error/hang-up (the device went away): read() tells which.
        uint8_t* target = numbered_ ? buffer : buffer + 1;
        const std::size_t room = numbered_ ? capacity : capacity - 1;
        ssize_t n = 0;
        do {
            n = ::read(fd, target, room);
        } while (n < 0 && errno == EINTR);
        if (n < 0) {
            if (errno == EAGAIN || errno == EWOULDBLOCK) {
                return {Status::Timeout, 0, 0};
            }
            return {Status::Failed, 0, errno};
        }
        if (n == 0) {
            return {Status::Cancelled, 0, 0};
        }
        if (numbered_) {
            return {Status::Data, static_cast<std::size_t>(n), 0};
        }
        buffer[0] = 0; // the layer's framing: the 0 report ID in front
        return {Status::Data, static_cast<std::size_t>(n) + 1, 0};
    }

    void cancelRead() override {
        if (wake_ >= 0) {
            const uint64_t one = 1;
            [[maybe_unused]] const ssize_t written = ::write(wake_, &one, sizeof one);
        }
    }

    void close() override {
        // A reader waiting in poll() is woken first and the descriptor closed once it has left
        // (closing it under a poll() in another thread would be unsafe: the number may be
        // reused). That takes microseconds; a reader busy elsewhere does not hold the file.
        std::unique_lock lock(useMutex_);
        closed_.store(true);
        cancelRead();
        readerLeft_.wait(lock, [this] { return readers_ == 0; });
        if (fd_ >= 0) {
            ::close(fd_);
            fd_ = -1;
        }
    }

    // hidraw keeps a fixed ring per open file; nothing to set.
    bool setQueueDepth(int count) override { return count == LinuxHidPlatform::kHidrawQueueDepth; }
    int queueDepth() const override {
        return (fd_ >= 0 && !closed_.load()) ? LinuxHidPlatform::kHidrawQueueDepth : 0;
    }

private:
    std::optional<std::vector<uint8_t>> descriptorFromFd() const {
        int size = 0;
        if (::ioctl(fd_, HIDIOCGRDESCSIZE, &size) < 0 || size < 0 ||
            size > HID_MAX_DESCRIPTOR_SIZE) {
            return std::nullopt;
        }
        hidraw_report_descriptor descriptor{};
        descriptor.size = static_cast<__u32>(size);
        if (::ioctl(fd_, HIDIOCGRDESC, &descriptor) < 0) {
            return std::nullopt;
        }
        return std::vector<uint8_t>(descriptor.value, descriptor.value + size);
    }

    const fs::path syspath_;
    int fd_; // written only by close(), under useMutex_, while no read() uses it
    const HidOpenMode mode_;
    std::mutex useMutex_;
    std::condition_variable readerLeft_;
    int readers_ = 0;
    int wake_ = -1;
    bool numbered_ = false;
    std::atomic<bool> closed_{false};
};

} // namespace

// ---------------------------------------------------------------------------------------------
// platform

bool LinuxHidPlatform::udevDaemonRunning() {
    std::error_code ec;
    return fs::exists("/run/udev/control", ec);
}

LinuxHidPlatform::LinuxHidPlatform(QObject* parent, MonitorSource source) : HidPlatform(parent) {
    udev_ = udev_new();
    if (udev_ == nullptr) {
        qWarning("HID: libudev is not available; no HID devices will be found");
        return;
    }
    if (source == MonitorSource::Automatic) {
        source = udevDaemonRunning() ? MonitorSource::Udev : MonitorSource::Kernel;
    }
    if (source == MonitorSource::None) {
        return;
    }
    monitor_ =
        udev_monitor_new_from_netlink(udev_, source == MonitorSource::Udev ? "udev" : "kernel");
    if (monitor_ != nullptr &&
        (udev_monitor_filter_add_match_subsystem_devtype(monitor_, "hidraw", nullptr) < 0 ||
         udev_monitor_enable_receiving(monitor_) < 0)) {
        udev_monitor_unref(monitor_);
        monitor_ = nullptr;
    }
    if (monitor_ == nullptr) {
        qWarning("HID: no udev monitor; devices attached later will not be noticed");
        return;
    }
    monitorSource_ = source;
    notifier_ = new QSocketNotifier(udev_monitor_get_fd(monitor_), QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] { onMonitorReadable(); });
}

LinuxHidPlatform::~LinuxHidPlatform() {
    delete notifier_;
    if (monitor_ != nullptr) {
        udev_monitor_unref(monitor_);
    }
    if (udev_ != nullptr) {
        udev_unref(udev_);
    }
}

bool LinuxHidPlatform::isAvailable() const {
    return udev_ != nullptr;
}

void LinuxHidPlatform::onMonitorReadable() {
    // The socket is non-blocking: take every queued event; each added or removed hidraw node is
    // one device-change notice.
    while (udev_device* device = udev_monitor_receive_device(monitor_)) {
        const char* action = udev_device_get_action(device);
        const bool change = action != nullptr &&
                            (std::strcmp(action, "add") == 0 || std::strcmp(action, "remove") == 0);
        udev_device_unref(device);
        if (change) {
            emit devicesChanged();
        }
    }
}

std::vector<HidInterfaceInfo> LinuxHidPlatform::enumerate() {
    std::vector<HidInterfaceInfo> result;
    if (udev_ == nullptr) {
        return result;
    }
    udev_enumerate* enumerate = udev_enumerate_new(udev_);
    if (enumerate == nullptr) {
        return result;
    }
    udev_enumerate_add_match_subsystem(enumerate, "hidraw");
    udev_enumerate_scan_devices(enumerate);
    udev_list_entry* entry = nullptr;
    udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(enumerate)) {
        const char* syspath = udev_list_entry_get_name(entry);
        udev_device* device = udev_device_new_from_syspath(udev_, syspath);
        if (device == nullptr) {
            continue; // gone meanwhile
        }
        HidInterfaceInfo info;
        info.identity = QString::fromUtf8(syspath);
        const char* devnode = udev_device_get_devnode(device);
        const char* sysname = udev_device_get_sysname(device);
        info.path = devnode != nullptr ? QString::fromUtf8(devnode)
                                       : QStringLiteral("/dev/") + QString::fromUtf8(sysname);
        info.properties.insert(QStringLiteral("subsystem"), QStringLiteral("hidraw"));
        info.properties.insert(QStringLiteral("sysname"), QString::fromUtf8(sysname));
        if (udev_device* hid =
                udev_device_get_parent_with_subsystem_devtype(device, "hid", nullptr)) {
            const auto put = [&](const char* key, const char* property) {
                if (const char* value = udev_device_get_property_value(hid, property)) {
                    info.properties.insert(QString::fromUtf8(key), QString::fromUtf8(value));
                }
            };
            put("hardwareId", "HID_ID");
            put("friendlyName", "HID_NAME");
            put("physicalLocation", "HID_PHYS");
            put("modalias", "MODALIAS");
            if (const char* driver = udev_device_get_driver(hid)) {
                info.properties.insert(QStringLiteral("driver"), QString::fromUtf8(driver));
            }
        }
        udev_device_unref(device);
        result.push_back(std::move(info));
    }
    udev_enumerate_unref(enumerate);
    return result;
}

int LinuxHidPlatform::openNode(const char* path, int flags) {
    return ::open(path, flags);
}

std::unique_ptr<HidHandle> LinuxHidPlatform::open(const HidInterfaceInfo& info, HidOpenMode mode,
                                                  int* errorCode) {
    const auto fail = [errorCode](int code) -> std::unique_ptr<HidHandle> {
        if (errorCode != nullptr) {
            *errorCode = code;
        }
        return nullptr;
    };
    if (udev_ == nullptr) {
        return fail(ENOSYS);
    }
    const fs::path syspath = info.identity.toStdString();
    int fd = -1;
    if (mode == HidOpenMode::QueryOnly) {
        // No access rights: only the sysfs entries are used; the device must still be there.
        std::error_code ec;
        if (!fs::exists(syspath / "dev", ec)) {
            return fail(ENODEV);
        }
    } else {
        const int flags =
            (mode == HidOpenMode::ReadWrite ? O_RDWR : O_RDONLY) | O_CLOEXEC | O_NONBLOCK;
        fd = openNode(info.path.toLocal8Bit().constData(), flags);
        if (fd < 0) {
            return fail(errno);
        }
    }
    if (errorCode != nullptr) {
        *errorCode = 0;
    }
    return std::make_unique<LinuxHidHandle>(syspath, fd, mode);
}

} // namespace zr::hid
