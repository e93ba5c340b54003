// zr6040ctl inside the kernel test's VM: `status --json` and `watch --count 3` against a meter
// made through /dev/uhid, on a real /dev/hidraw0, while a second program reading the same node
// asks the meter for a calibration list over and over: the meter's answers reach zr6040ctl's
// reader too, and neither command writes them as status reports or sends the meter anything.
// `info` tells what the kernel knows of the meter and asks for its method's calibrations only;
// with a second meter attached, `--serial` picks one by its serial number.

#include "device/protocol/ReportBuffer.h"
#include "kernel/UhidPeer.h"

#include <QCoreApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <filesystem>

using zr::kernel_test::check;
using zr::kernel_test::failures;
using zr::kernel_test::UhidPeer;
using zr::kernel_test::waitFor;

namespace {

// Every status report has a frequency of its own, so that a line written twice shows.
constexpr int kFirstFrequency = 4700;
constexpr int kFrequencies = 300;

// Runs the program beside this probe; its standard output, or nothing when it failed.
QByteArray runCtl(const QStringList& arguments, int* exitCode) {
    QProcess ctl;
    ctl.start(QCoreApplication::applicationDirPath() + QStringLiteral("/zr6040ctl"), arguments);
    const bool finished = ctl.waitForFinished(30000);
    *exitCode = finished && ctl.exitStatus() == QProcess::NormalExit ? ctl.exitCode() : -1;
    const QByteArray err = ctl.readAllStandardError();
    if (!err.isEmpty()) {
        std::printf("zr6040ctl said: %s\n", err.constData());
    }
    return ctl.readAllStandardOutput();
}

// The meter's status report as method 2, 84.5, calibration 2 in force, 4 stored values.
bool isTheMetersReport(const QJsonObject& fields) {
    const int frequency = fields.value(QStringLiteral("frequency")).toInt();
    return fields.value(QStringLiteral("method")) == 2 &&
           fields.value(QStringLiteral("value")) == 84.5 &&
           fields.value(QStringLiteral("table")) == 2 &&
           fields.value(QStringLiteral("stored_count")) == 4 && frequency >= kFirstFrequency &&
           frequency < kFirstFrequency + kFrequencies;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    namespace command = zr::protocol::command;
    namespace reply = zr::protocol::reply;
    UhidPeer peer;
    // Answers a calibration entry request as the meter does, slot 1 of method 3 filled; the
    // kernel hands an unnumbered output report over with its report number 0 first.
    peer.setOutputAnswer([&peer](const std::vector<std::uint8_t>& output) {
        if (output.size() < 14 || output[1] != command::kRequestCalibrationEntry) {
            return;
        }
        std::vector<std::uint8_t> entry(64);
        entry[0] = reply::kCalibrationEntry;
        entry[1] = output[2] == 1 ? 1 : 0;
        std::memcpy(&entry[2], "DT SUMMER ", 10);
        entry[12] = output[13];
        entry[13] = 1000 & 0xFF;
        entry[14] = 1000 >> 8;
        peer.input(entry);
    });
    check(peer.create("ZR6040 virtual meter", "ZR-0007", 0x013F), "uhid meter created");
    check(waitFor([] { return std::filesystem::exists("/dev/hidraw0"); }, 3000),
          "/dev/hidraw0 appeared");
    std::atomic<bool> running{true};
    std::thread reports([&] {
        for (int n = 0; running.load(); ++n) {
            std::vector<std::uint8_t> status(64);
            status[0] = reply::kStatusReport;
            const int frequency = kFirstFrequency + n % kFrequencies;
            status[1] = static_cast<std::uint8_t>(frequency & 0xFF);
            status[2] = static_cast<std::uint8_t>(frequency >> 8);
            status[3] = 2;
            const float value = 84.5F;
            std::memcpy(&status[4], &value, 4);
            status[12] = 2;
            status[13] = 4;
            peer.input(status);
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    });
    // The second program: method 3's list, four requests every 20 ms.
    std::atomic<int> requests{0};
    const int second = ::open("/dev/hidraw0", O_RDWR | O_CLOEXEC);
    check(second >= 0, "a second reader opened /dev/hidraw0");
    std::thread asking([&] {
        while (running.load() && second >= 0) {
            for (std::uint8_t slot = 1; slot <= 4; ++slot) {
                std::vector<std::uint8_t> request(65);
                request[1] = command::kRequestCalibrationEntry;
                request[2] = slot;
                request[13] = 3;
                if (::write(second, request.data(), request.size()) == 65) {
                    ++requests;
                }
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    });

    int exitCode = -1;
    const QByteArray status =
        runCtl({QStringLiteral("status"), QStringLiteral("--json")}, &exitCode);
    check(exitCode == 0, "status --json exited with " + std::to_string(exitCode));
    check(isTheMetersReport(QJsonDocument::fromJson(status).object()),
          "status --json wrote a status report of the meter: " + status.toStdString());

    const QByteArray lines = runCtl({QStringLiteral("watch"), QStringLiteral("--count"),
                                     QStringLiteral("3"), QStringLiteral("--json")},
                                    &exitCode);
    check(exitCode == 0, "watch --count 3 exited with " + std::to_string(exitCode));
    const QList<QByteArray> split = lines.trimmed().split('\n');
    bool distinct = split.size() == 3;
    QJsonValue previous;
    for (const QByteArray& line : split) {
        const QJsonObject fields = QJsonDocument::fromJson(line).object();
        distinct = distinct && isTheMetersReport(fields) &&
                   fields.value(QStringLiteral("frequency")) != previous;
        previous = fields.value(QStringLiteral("frequency"));
    }
    check(distinct, "watch --count 3 wrote three status reports: " + lines.toStdString());

    const QJsonObject info =
        QJsonDocument::fromJson(
            runCtl({QStringLiteral("info"), QStringLiteral("--json")}, &exitCode))
            .object();
    check(exitCode == 0, "info exited with " + std::to_string(exitCode));
    const auto text = [&info](const char* key) {
        return info.value(QLatin1String(key)).toString().toStdString();
    };
    check(text("device") == "/dev/hidraw0" && text("usb_path") == "zr-kernel-test" &&
              text("vendor_id") == "04d7" && text("product_id") == "013f" &&
              // A uhid device has no USB parent, whose bcdDevice is the version.
              text("version") == "0000" && text("product") == "ZR6040 virtual meter" &&
              text("serial") == "ZR-0007" &&
              info.value(QStringLiteral("input_report_length")) == 65 &&
              info.value(QStringLiteral("output_report_length")) == 65 &&
              info.value(QStringLiteral("method")) == 2 && info.value(QStringLiteral("table")) == 2,
          "info told what the kernel knows: " +
              QJsonDocument(info).toJson(QJsonDocument::Compact).toStdString());

    running = false;
    asking.join();
    reports.join();
    // What the meter got is the second reader's requests (method 3) and info's (method 2), and
    // nothing else (uhid may drop some of them when its queue is full).
    const auto outputs = peer.outputs();
    check(!outputs.empty(), "the second reader asked " + std::to_string(requests.load()));
    bool onlyRequests = true;
    int infoRequests = 0;
    for (const auto& output : outputs) {
        onlyRequests = onlyRequests && output.size() == 65 &&
                       output[1] == command::kRequestCalibrationEntry &&
                       (output[13] == 3 || output[13] == 2);
        infoRequests += output.size() == 65 && output[13] == 2 ? 1 : 0;
    }
    check(onlyRequests && infoRequests > 0,
          "zr6040ctl sent the meter only info's requests (" + std::to_string(outputs.size()) +
              " reports, " + std::to_string(infoRequests) + " of info, " +
              std::to_string(requests.load()) + " requests of the second reader)");

    // A second meter: --serial picks either.
    UhidPeer other;
    check(other.create("ZR6040 second meter", "ZR-0008", 0x013F), "second uhid meter created");
    check(waitFor([] { return std::filesystem::exists("/dev/hidraw1"); }, 3000),
          "/dev/hidraw1 appeared");
    const QByteArray listed = runCtl({QStringLiteral("list"), QStringLiteral("--csv"),
                                      QStringLiteral("--serial"), QStringLiteral("ZR-0008")},
                                     &exitCode);
    check(exitCode == 0 &&
              listed.contains("/dev/hidraw1,ZR-0008,true,ZR6040 second meter,zr-kernel-test") &&
              !listed.contains("hidraw0"),
          "list --serial ZR-0008 showed the second meter only: " +
              QByteArray(listed).replace('\r', ' ').toStdString());
    runCtl({QStringLiteral("status"), QStringLiteral("--serial"), QStringLiteral("NOPE")},
           &exitCode);
    check(exitCode == 3, "status --serial NOPE exited with " + std::to_string(exitCode));
    other.destroy();
    if (second >= 0) {
        ::close(second);
    }
    peer.destroy();
    return failures == 0 ? 0 : 1;
}
