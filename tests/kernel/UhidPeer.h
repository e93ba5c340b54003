#pragma once

// The device side of virtual meters made through /dev/uhid, and the check and wait helpers the
// probes inside the kernel test's VM share.

#include "support/WaitFor.h"

#include <linux/uhid.h>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace zr::kernel_test {

inline int failures = 0;

inline void check(bool ok, const std::string& what) {
    std::printf("CHECK %s %s\n", ok ? "ok  " : "FAIL", what.c_str());
    std::fflush(stdout);
    if (!ok) {
        ++failures;
    }
}

using zr::test::waitFor;

// The meter's interface: vendor-defined, 64-byte input and output reports, no report IDs.
inline const uint8_t kMeterDescriptor[] = {
    0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x19, 0x01, 0x29, 0x40, 0x15, 0x00, 0x26, 0xFF,
    0x00, 0x75, 0x08, 0x95, 0x40, 0x81, 0x02, 0x19, 0x01, 0x29, 0x40, 0x91, 0x02, 0xC0,
};

// A device with numbered reports: input report 2 of 8 bytes, output report 3 of 4 bytes.
inline const uint8_t kNumberedDescriptor[] = {
    0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x85, 0x02, 0x15, 0x00, 0x26, 0xFF, 0x00, 0x75, 0x08,
    0x95, 0x08, 0x09, 0x01, 0x81, 0x02, 0x85, 0x03, 0x95, 0x04, 0x09, 0x01, 0x91, 0x02, 0xC0,
};

// The device side of one uhid device, with a thread that answers the kernel.
class UhidPeer {
public:
    ~UhidPeer() { destroy(); }

    bool create(const char* name, const char* uniq, uint32_t product,
                const uint8_t* descriptor = kMeterDescriptor,
                std::size_t descriptorSize = sizeof kMeterDescriptor) {
        fd_ = ::open("/dev/uhid", O_RDWR | O_CLOEXEC);
        if (fd_ < 0) {
            std::printf("open /dev/uhid: %s\n", std::strerror(errno));
            return false;
        }
        uhid_event ev{};
        ev.type = UHID_CREATE2;
        std::snprintf(reinterpret_cast<char*>(ev.u.create2.name), sizeof ev.u.create2.name, "%s",
                      name);
        std::snprintf(reinterpret_cast<char*>(ev.u.create2.uniq), sizeof ev.u.create2.uniq, "%s",
                      uniq);
        std::snprintf(reinterpret_cast<char*>(ev.u.create2.phys), sizeof ev.u.create2.phys,
                      "zr-kernel-test");
        ev.u.create2.rd_size = static_cast<uint16_t>(descriptorSize);
        std::memcpy(ev.u.create2.rd_data, descriptor, descriptorSize);
        ev.u.create2.bus = 0x03; // BUS_USB, as the meter
        ev.u.create2.vendor = 0x04D7;
        ev.u.create2.product = product;
        ev.u.create2.version = 0x0100;
        if (!send(ev)) {
            return false;
        }
        running_ = true;
        thread_ = std::thread([this] { run(); });
        return true;
    }

    bool input(const std::vector<uint8_t>& report) {
        if (report.size() > UHID_DATA_MAX) {
            return false;
        }
        uhid_event ev{};
        ev.type = UHID_INPUT2;
        ev.u.input2.size = static_cast<uint16_t>(report.size());
        std::memcpy(ev.u.input2.data, report.data(), report.size());
        return send(ev);
    }

    void destroy() {
        if (fd_ < 0) {
            return;
        }
        uhid_event ev{};
        ev.type = UHID_DESTROY;
        send(ev);
        running_ = false;
        if (thread_.joinable()) {
            thread_.join();
        }
        ::close(fd_);
        fd_ = -1;
    }

    // Runs on the peer's thread for every output report, after it was recorded: a meter answering.
    // Set before create().
    void setOutputAnswer(std::function<void(const std::vector<uint8_t>&)> answer) {
        answer_ = std::move(answer);
    }

    std::vector<std::vector<uint8_t>> outputs() {
        std::lock_guard lock(mutex_);
        return outputs_;
    }
    int opens() const { return opens_.load(); }

private:
    bool send(const uhid_event& ev) {
        const ssize_t n = ::write(fd_, &ev, sizeof ev);
        if (n != static_cast<ssize_t>(sizeof ev)) {
            std::printf("uhid write: %s\n", std::strerror(errno));
            return false;
        }
        return true;
    }

    void run() {
        while (running_.load()) {
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, 20) <= 0) {
                continue;
            }
            uhid_event ev{};
            if (::read(fd_, &ev, sizeof ev) <= 0) {
                continue;
            }
            switch (ev.type) {
            case UHID_OPEN:
                ++opens_;
                break;
            case UHID_OUTPUT: {
                const uint8_t* data = &ev.u.output.data[0];
                const std::vector<uint8_t> output(data, data + ev.u.output.size);
                {
                    std::lock_guard lock(mutex_);
                    outputs_.push_back(output);
                }
                if (answer_) {
                    answer_(output);
                }
                break;
            }
            case UHID_GET_REPORT: {
                uhid_event reply{};
                reply.type = UHID_GET_REPORT_REPLY;
                reply.u.get_report_reply.id = ev.u.get_report.id;
                reply.u.get_report_reply.err = EIO;
                send(reply);
                break;
            }
            case UHID_SET_REPORT: {
                uhid_event reply{};
                reply.type = UHID_SET_REPORT_REPLY;
                reply.u.set_report_reply.id = ev.u.set_report.id;
                reply.u.set_report_reply.err = EIO;
                send(reply);
                break;
            }
            default:
                break;
            }
        }
    }

    int fd_ = -1;
    std::atomic<bool> running_{false};
    std::atomic<int> opens_{0};
    std::thread thread_;
    std::mutex mutex_;
    std::vector<std::vector<uint8_t>> outputs_;
    std::function<void(const std::vector<uint8_t>&)> answer_;
};

} // namespace zr::kernel_test
