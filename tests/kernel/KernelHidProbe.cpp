// Runs inside the qemu VM of the kernel test (tests/kernel/run-kernel-test.sh), as root, with
// uhid loaded and no udev daemon: makes virtual meters through /dev/uhid and checks the HID layer
// with the Linux back end against the real /dev/hidrawN the kernel creates for them.
// Prints one "CHECK ok|FAIL ..." line per check and exits 0 when all passed.

#include "device/hid/HidDeviceController.h"
#include "device/hid/linux/LinuxHidPlatform.h"
#include "kernel/UhidPeer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <QTimer>

#include <linux/uhid.h>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <deque>
#include <filesystem>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

using namespace zr::hid;

using namespace zr::kernel_test;

namespace {

// File descriptors of this process open on `node`, also once the node was deleted (the link then
// reads "/dev/hidraw0 (deleted)").
int openDescriptorsOn(const std::string& node) {
    int count = 0;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd", ec)) {
        std::error_code linkError;
        const std::string target = std::filesystem::read_symlink(entry.path(), linkError).string();
        if (target == node || target == node + " (deleted)") {
            ++count;
        }
    }
    return count;
}

std::string hex(unsigned value) {
    char text[16];
    std::snprintf(text, sizeof text, "%04X", value);
    return text;
}

std::vector<uint8_t> inputReport(int sequence) {
    std::vector<uint8_t> report(64);
    for (std::size_t i = 0; i < report.size(); ++i) {
        report[i] = static_cast<uint8_t>(sequence * 7 + static_cast<int>(i));
    }
    report[0] = static_cast<uint8_t>(sequence);
    return report;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);

    // 1. A meter attached before the program starts.
    UhidPeer meter;
    check(meter.create("ZR6040 virtual meter", "ZR-0001", 0x013F), "uhid device created");
    QElapsedTimer appear;
    appear.start();
    while (!std::filesystem::exists("/dev/hidraw0") && appear.elapsed() < 3000) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    check(std::filesystem::exists("/dev/hidraw0"), "/dev/hidraw0 appeared");

    LinuxHidPlatform platform;
    check(platform.isAvailable(), "libudev available");
    check(platform.monitorSource() == LinuxHidPlatform::MonitorSource::Kernel,
          "no udev daemon: the monitor takes kernel uevents");

    HidDeviceController controller(platform);
    std::vector<HidDevice*> arrivals;
    std::vector<HidDevice*> removals;
    QString productAtArrival;
    QString serialAtArrival;
    int changes = 0;
    controller.setOnArrival([&](HidDevice& d) {
        arrivals.push_back(&d);
        if (arrivals.size() == 1) {
            productAtArrival = d.productString();
            serialAtArrival = d.serialString();
        }
    });
    controller.setOnDeviceChange([&](HidDeviceController&) { ++changes; });

    check(waitFor([&] { return controller.scanCount() >= 1; }, 5000), "first scan ran");
    check(controller.deviceCount() == 1,
          "the scan finds one device (found " + std::to_string(controller.deviceCount()) + ")");
    check(arrivals.size() == 1 && changes == 1, "OnArrival and OnDeviceChange raised once");
    if (controller.deviceCount() != 1) {
        std::printf("ZR-KERNEL-PROBE: %d failure(s)\n", failures + 1);
        return 1;
    }
    HidDevice* listed = controller.deviceAt(0);
    check(listed->pnpInfo().devicePath() == QStringLiteral("/dev/hidraw0"),
          "device path /dev/hidraw0");
    check(listed->pnpInfo().deviceInstance().startsWith(QStringLiteral("/sys/devices/")) &&
              listed->pnpInfo().deviceInstance().endsWith(QStringLiteral("/hidraw/hidraw0")),
          "identity is the syspath: " + listed->pnpInfo().deviceInstance().toStdString());
    check(listed->vendorId() == 0x04D7, "vendor 04D7 (" + hex(listed->vendorId()) + ")");
    check(listed->productId() == 0x013F, "product 013F (" + hex(listed->productId()) + ")");
    check(listed->versionNumber() == 0, "version 0: uhid has no USB parent with a bcdDevice");
    check(listed->openedReadWrite(), "opened read-write");
    check(productAtArrival == QStringLiteral("ZR6040 virtual meter"),
          "product string from HID_NAME: '" + productAtArrival.toStdString() + "'");
    check(serialAtArrival == QStringLiteral("ZR-0001"),
          "serial string from HID_UNIQ: '" + serialAtArrival.toStdString() + "'");

    HidDevice* dev = controller.claimDevice();
    check(dev == listed, "claimed");
    const HidCaps caps = dev->capabilities();
    check(caps.inputReportByteLength == 65 && caps.outputReportByteLength == 65,
          "report lengths 65/65 (" + std::to_string(caps.inputReportByteLength) + "/" +
              std::to_string(caps.outputReportByteLength) + ")");
    check(!caps.numberedReports, "reports not numbered");
    check(caps.usagePage == 0xFF00 && caps.usage == 1, "usage page FF00, usage 1");

    dev->setInputQueueDepth(128);
    dev->setReadQueueDepth(128);
    check(dev->inputQueueDepth() == 64, "input queue depth in force: hidraw's 64 (" +
                                            std::to_string(dev->inputQueueDepth()) + ")");
    check(dev->readQueueDepth() == 64,
          "read queue depth in force: hidraw's 64 (" + std::to_string(dev->readQueueDepth()) + ")");

    struct Received {
        uint8_t id;
        std::vector<uint8_t> data;
    };
    std::vector<Received> received;
    bool offMain = false;
    dev->setDataHandler([&](HidDevice&, uint8_t id, const uint8_t* data, uint16_t size) {
        offMain = offMain || QThread::currentThread() != app.thread();
        received.push_back({id, std::vector<uint8_t>(data, data + size)});
    });
    std::vector<int> readErrors;
    dev->setReadErrorHandler([&](HidDevice&, int code) { readErrors.push_back(code); });
    check(dev->hasReader(), "reader started");

    // 2. A write arrives at the device byte-exact (hidraw passes the 0 report ID through).
    std::vector<uint8_t> out(65);
    for (std::size_t i = 0; i < out.size(); ++i) {
        out[i] = static_cast<uint8_t>(0xA0 ^ i);
    }
    out[0] = 0;
    const WriteResult write = dev->writeReport(out.data(), out.size());
    check(write.ok && write.bytesWritten == 65 && write.errorCode == 0,
          "writeReport ok, 65 bytes (ok=" + std::to_string(write.ok) + " n=" +
              std::to_string(write.bytesWritten) + " err=" + std::to_string(write.errorCode) + ")");
    check(waitFor([&] { return !meter.outputs().empty(); }, 3000), "UHID_OUTPUT arrived");
    const auto outputs = meter.outputs();
    check(outputs.size() == 1 && outputs[0] == out,
          "the output report is byte-exact (" +
              std::to_string(outputs.empty() ? 0 : outputs[0].size()) + " bytes)");

    // 3. Input reports reach the DataHandler with ID 0 and 64 payload bytes, in order.
    constexpr int kReports = 40;
    for (int i = 0; i < kReports; ++i) {
        meter.input(inputReport(i));
    }
    const bool allDelivered = waitFor([&] { return received.size() >= kReports; }, 10000);
    check(allDelivered, "all " + std::to_string(kReports) + " input reports delivered (" +
                            std::to_string(received.size()) + ")");
    bool inOrder = received.size() == kReports;
    for (std::size_t i = 0; inOrder && i < received.size(); ++i) {
        inOrder = received[i].id == 0 && received[i].data == inputReport(static_cast<int>(i));
    }
    check(inOrder, "report ID 0, 64 payload bytes, byte-exact and in order");
    check(!offMain, "DataHandler ran on the main thread");
    check(readErrors.empty(), "no read errors while attached");

    // 4. A device created after start arrives through the udev monitor (kernel uevents).
    UhidPeer second;
    check(second.create("ZR6040 second meter", "ZR-0002", 0x0140), "second uhid device created");
    check(waitFor([&] { return arrivals.size() == 2; }, 5000),
          "OnArrival for the device created after start");
    if (arrivals.size() == 2) {
        check(arrivals[1]->productId() == 0x0140 && controller.deviceCount() == 2,
              "the new device is listed with product 0140");
        check(arrivals[1]->pnpInfo().devicePath() == QStringLiteral("/dev/hidraw1"),
              "at /dev/hidraw1");
    }

    // 4b. A device with numbered reports: the report ID comes from the report itself, and a
    //     write goes out with its ID as the first byte.
    UhidPeer numbered;
    check(numbered.create("ZR numbered test", "ZR-0003", 0x0141, kNumberedDescriptor,
                          sizeof kNumberedDescriptor),
          "numbered uhid device created");
    check(waitFor([&] { return arrivals.size() == 3; }, 5000), "OnArrival for the numbered device");
    if (arrivals.size() == 3) {
        HidDevice* n = controller.claimDeviceAt(controller.indexOf(arrivals[2]));
        check(n != nullptr, "numbered device claimed");
        if (n != nullptr) {
            const HidCaps ncaps = n->capabilities();
            check(ncaps.numberedReports && ncaps.inputReportByteLength == 9 &&
                      ncaps.outputReportByteLength == 5,
                  "numbered caps: in 9, out 5 (" + std::to_string(ncaps.inputReportByteLength) +
                      "/" + std::to_string(ncaps.outputReportByteLength) + ")");
            n->setReadQueueDepth(128);
            std::vector<std::pair<uint8_t, std::vector<uint8_t>>> got;
            n->setDataHandler([&](HidDevice&, uint8_t id, const uint8_t* data, uint16_t size) {
                got.emplace_back(id, std::vector<uint8_t>(data, data + size));
            });
            numbered.input({2, 11, 12, 13, 14, 15, 16, 17, 18});
            const bool arrived = waitFor([&] { return !got.empty(); }, 5000);
            check(arrived && got[0].first == 2 &&
                      got[0].second == std::vector<uint8_t>{11, 12, 13, 14, 15, 16, 17, 18},
                  "numbered input: report ID 2 and its 8 bytes");
            const uint8_t nout[5] = {3, 0xDE, 0xAD, 0xBE, 0xEF};
            const WriteResult nw = n->writeReport(nout, sizeof nout);
            check(nw.ok && nw.bytesWritten == 5, "numbered write ok");
            check(waitFor([&] { return !numbered.outputs().empty(); }, 3000) &&
                      numbered.outputs()[0] == std::vector<uint8_t>(nout, nout + 5),
                  "numbered output arrives byte-exact with its ID first");
            controller.returnDevice(n);
            check(controller.deviceCount() == 3 && !controller.deviceAt(2)->isClaimed(),
                  "returning the attached numbered device leaves a fresh copy in its place");
        }
    }

    // 5. Destroying the claimed meter raises OnRemoval after its handles were closed; clearing the
    //    DataHandler there stops the reader within one slice.
    int descriptorsAtRemoval = -1;
    bool presentAtRemoval = true;
    bool stopped = false;
    std::uint64_t slicesToStop = 0;
    bool readerAfterStop = true;
    controller.setOnRemoval([&](HidDevice& d) {
        removals.push_back(&d);
        if (&d == dev && !stopped) {
            stopped = true;
            descriptorsAtRemoval = openDescriptorsOn("/dev/hidraw0");
            presentAtRemoval = d.isPresent();
            const std::uint64_t before = d.readSlicesRunOut();
            d.setDataHandler(nullptr);
            slicesToStop = d.readSlicesRunOut() - before;
            readerAfterStop = d.hasReader();
        }
    });
    check(openDescriptorsOn("/dev/hidraw0") >= 1, "the meter's node is open before the removal");
    meter.destroy();
    check(waitFor([&] { return !removals.empty(); }, 5000), "OnRemoval raised through the monitor");
    check(removals.size() == 1 && removals[0] == dev, "OnRemoval for the meter only");
    check(!presentAtRemoval, "not Present in OnRemoval");
    check(descriptorsAtRemoval == 0,
          "handles closed before OnRemoval (" + std::to_string(descriptorsAtRemoval) + " open)");
    check(stopped && slicesToStop <= 1 && !readerAfterStop,
          "reader stopped within one slice (" + std::to_string(slicesToStop) + " ran out)");
    check(openDescriptorsOn("/dev/hidraw0") == 0, "no descriptor left on the meter's node");
    controller.returnDevice(dev);
    check(controller.deviceCount() == 2, "returning the vanished meter removes it from the list");

    // 6. The other devices go too; unclaimed devices are removed at once.
    second.destroy();
    numbered.destroy();
    const bool allGone =
        waitFor([&] { return removals.size() == 3 && controller.deviceCount() == 0; }, 5000);
    check(allGone, "the unclaimed devices are removed (" +
                       std::to_string(controller.deviceCount()) + " left)");

    std::printf("ZR-KERNEL-PROBE: %d failure(s)\n", failures);
    std::fflush(stdout);
    return failures == 0 ? 0 : 1;
}
