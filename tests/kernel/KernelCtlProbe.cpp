// zr6040ctl inside the kernel test's VM: `status --json` and `watch --count 3` against a meter
// made through /dev/uhid, on a real /dev/hidraw0, and nothing sent to the meter by either.

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

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    UhidPeer peer;
    check(peer.create("ZR6040 virtual meter", "ZR-0007", 0x013F), "uhid meter created");
    check(waitFor([] { return std::filesystem::exists("/dev/hidraw0"); }, 3000),
          "/dev/hidraw0 appeared");
    std::atomic<bool> running{true};
    // A status report every 50 ms: motor method, 84.5, calibration 2 in force, 4 stored values.
    std::thread reports([&] {
        while (running.load()) {
            std::vector<std::uint8_t> status(64);
            status[0] = 0x37;
            status[1] = 4700 & 0xFF;
            status[2] = 4700 >> 8;
            status[3] = 2;
            const float value = 84.5F;
            std::memcpy(&status[4], &value, 4);
            status[12] = 2;
            status[13] = 4;
            peer.input(status);
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    });

    int exitCode = -1;
    const QByteArray status =
        runCtl({QStringLiteral("status"), QStringLiteral("--json")}, &exitCode);
    check(exitCode == 0, "status --json exited with " + std::to_string(exitCode));
    const QJsonObject fields = QJsonDocument::fromJson(status).object();
    check(fields.value(QStringLiteral("method")) == 2 &&
              fields.value(QStringLiteral("value")) == 84.5 &&
              fields.value(QStringLiteral("table")) == 2 &&
              fields.value(QStringLiteral("frequency")) == 4700 &&
              fields.value(QStringLiteral("stored_count")) == 4,
          "status --json: " + status.toStdString());

    const QByteArray lines = runCtl({QStringLiteral("watch"), QStringLiteral("--count"),
                                     QStringLiteral("3"), QStringLiteral("--json")},
                                    &exitCode);
    check(exitCode == 0, "watch --count 3 exited with " + std::to_string(exitCode));
    const QList<QByteArray> split = lines.trimmed().split('\n');
    bool whole = split.size() == 3;
    for (const QByteArray& line : split) {
        whole =
            whole && QJsonDocument::fromJson(line).object().value(QStringLiteral("value")) == 84.5;
    }
    check(whole, "watch --count 3 wrote three readings: " + lines.toStdString());
    check(peer.outputs().empty(), "nothing was sent to the meter");

    running = false;
    reports.join();
    peer.destroy();
    return failures == 0 ? 0 : 1;
}
