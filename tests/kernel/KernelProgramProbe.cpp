// Runs inside the qemu VM of the kernel test (tests/kernel/run-kernel-test.sh): the real program,
// on the Linux back end and the offscreen platform, against a virtual meter on /dev/uhid. Checks
// what the program sends the meter after start-up and after the meter is plugged in later: the
// calibration list of the meter's method (four requests, slots 1 to 4), then the stored values
// (from 155, and from 205 too when the meter holds more than five).
// Prints one "CHECK ok|FAIL ..." line per check and exits 0 when all passed.

#include "app/MainWindow.h"
#include "app/Program.h"
#include "app/ServicePage.h"
#include "common/MessageService.h"
#include "device/hid/linux/LinuxHidPlatform.h"
#include "kernel/UhidPeer.h"
#include "ui/KeyPreviewApplication.h"
#include "ui/LogView.h"

#include <QFile>
#include <QTemporaryDir>

#include <filesystem>
#include <memory>

#include <atomic>
#include <cstdint>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

using namespace zr::kernel_test;

namespace {

class SilentMessages : public zr::common::MessageService {
public:
    void inform(const QString& text) override { messages.push_back(text.toStdString()); }
    void showError(const QString& text) override { messages.push_back(text.toStdString()); }
    bool confirm(const QString&) override { return false; }
    std::vector<std::string> messages;
};

constexpr std::uint8_t kMethod = 1;

// A meter that reports its status every 50 ms: method 1, six stored values.
class ReportingMeter {
public:
    explicit ReportingMeter(const char* serial) {
        check(peer_.create("ZR6040 virtual meter", serial, 0x013F), "uhid meter created");
        running_ = true;
        thread_ = std::thread([this] {
            while (running_.load()) {
                std::vector<std::uint8_t> status(64);
                status[0] = 0x37;
                status[1] = 4500 & 0xFF;
                status[2] = 4500 >> 8;
                status[3] = kMethod;
                const float value = 92.0F;
                std::memcpy(&status[4], &value, 4);
                status[13] = 6; // stored values
                peer_.input(status);
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
            }
        });
    }
    ~ReportingMeter() { unplug(); }

    void unplug() {
        running_ = false;
        if (thread_.joinable()) {
            thread_.join();
        }
        peer_.destroy();
    }
    std::vector<std::vector<std::uint8_t>> outputs() { return peer_.outputs(); }

private:
    UhidPeer peer_;
    std::atomic<bool> running_{false};
    std::thread thread_;
};

std::string describe(const std::vector<std::vector<std::uint8_t>>& outputs) {
    std::string text;
    for (const auto& report : outputs) {
        char line[32];
        std::snprintf(line, sizeof line, "[%02X %u %u] ", report.size() > 1 ? report[1] : 0,
                      report.size() > 2 ? report[2] : 0, report.size() > 13 ? report[13] : 0);
        text += line;
    }
    return text;
}

// The traffic after start-up or arrival, as written (65 bytes, report ID 0 first).
void checkArrivalTraffic(ReportingMeter& meter, zr::app::MainWindow& window,
                         const std::string& when) {
    check(waitFor([&] { return meter.outputs().size() >= 6; }, 20000), when + ": six reports sent");
    // Whatever would follow has had its chance once the program has handled ten more of the
    // meter's status reports (half a second of them).
    const zr::ui::LogView& log = *window.servicePage()->log();
    const std::size_t logged = log.lineCount();
    check(waitFor([&] { return log.lineCount() >= logged + 10; }, 10000),
          when + ": ten more status reports handled");
    const auto outputs = meter.outputs();
    check(outputs.size() == 6, when + ": nothing else sent: " + describe(outputs));
    if (outputs.size() < 6) {
        return;
    }
    for (std::size_t i = 0; i < 4; ++i) {
        const auto& r = outputs[i];
        check(r.size() == 65 && r[0] == 0 && r[1] == 0x3D && r[2] == i + 1 && r[13] == kMethod,
              when + ": calibration entry request for slot " + std::to_string(i + 1) +
                  " with the meter's method");
    }
    check(outputs[4][1] == 0x67 && outputs[4][2] == 155, when + ": stored values from 155");
    check(outputs[5][1] == 0x67 && outputs[5][2] == 205, when + ": stored values from 205");
}

} // namespace

int main(int argc, char** argv) {
    zr::ui::KeyPreviewApplication app(argc, argv);
    QTemporaryDir dataDir;
    // A data directory as a first start finds it: with an empty calibration library.
    QFile(dataDir.filePath(QStringLiteral("data.zr"))).open(QIODevice::WriteOnly);
    SilentMessages messages;
    zr::hid::LinuxHidPlatform platform;

    auto present = std::make_unique<ReportingMeter>("ZR-0001");
    check(waitFor([] { return std::filesystem::exists("/dev/hidraw0"); }, 3000),
          "/dev/hidraw0 appeared");
    {
        zr::app::Program program(
            {messages, platform, dataDir.path(), [](const QString&) { return true; }});
        zr::app::MainWindow& window = program.mainWindow();
        window.show();
        checkArrivalTraffic(*present, window, "meter present at start");

        present->unplug();
        check(waitFor([&] { return program.session().state().currentDevice == nullptr; }, 10000),
              "the unplugged meter is dropped");
        ReportingMeter later("ZR-0002");
        check(waitFor([&] { return program.session().state().currentDevice != nullptr; }, 10000),
              "the meter plugged in later is found");
        checkArrivalTraffic(later, window, "meter plugged in later");
        std::string shown;
        for (const std::string& text : messages.messages) {
            shown += " [" + text + "]";
        }
        check(messages.messages.empty(), "no message box" + shown);
        window.close();
    }

    std::printf("ZR-KERNEL-PROBE: %d failure(s)\n", failures);
    std::fflush(stdout);
    return failures == 0 ? 0 : 1;
}
