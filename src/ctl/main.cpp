#include "calibration/LibraryFile.h"
#include "ctl/ExitStatus.h"
#include "ctl/Invocation.h"
#include "ctl/OutputTarget.h"
#include "ctl/ProgramRun.h"
#include "ctl/Translations.h"
#include "device/hid/linux/LinuxHidPlatform.h"
#include "device/hid/simulated/SimulatedHidBus.h"
#include "journal/Journal.h"
#include "program/DataDirectory.h"
#include "sim/DemonstrationContents.h"
#include "sim/MeterModel.h"
#include "sim/SimulatedMeter.h"

#include <QCoreApplication>
#include <QDir>
#include <QSocketNotifier>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int signalPipe[2] = {-1, -1};

void onTerminationSignal(int) {
    const char byte = 1;
    // Nothing else is safe in a signal handler; the event loop reads the byte.
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[1], &byte, 1);
}

bool writeFlushed(std::FILE* stream, const QByteArray& bytes) {
    return std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stream) ==
               static_cast<std::size_t>(bytes.size()) &&
           std::fflush(stream) == 0;
}

int runOn(const zr::ctl::Invocation& invocation, zr::hid::HidPlatform& platform) {
    const QString exeDir = QCoreApplication::applicationDirPath();
    const QString dataDir = zr::program::chooseDataDirectory(exeDir);
    using zr::ctl::OutputTarget;
    OutputTarget output =
        invocation.outputFile.isEmpty()
            ? OutputTarget()
            : OutputTarget(invocation.outputFile, invocation.command == zr::ctl::Command::Watch
                                                      ? OutputTarget::Mode::Append
                                                      : OutputTarget::Mode::Replace);
    if (!output.open()) {
        writeFlushed(stderr, output.error().toUtf8() + '\n');
        if (invocation.format == zr::ctl::Format::Json) {
            writeFlushed(stderr, zr::ctl::jsonErrorLine(output.error(), zr::ctl::kError));
        }
        return zr::ctl::kError;
    }
    zr::ctl::CommandRunner::Io io;
    io.out = [&output](const QByteArray& bytes) { return output.write(bytes); };
    io.outputError = [&output] { return output.readerGone() ? QString() : output.error(); };
    io.endOutput = [&output](bool complete) { return output.close(complete); };
    io.continuesContent = output.continuesContent();
    io.err = [](const QByteArray& bytes) { return writeFlushed(stderr, bytes); };
    io.defaultLibraryFile =
        QDir(dataDir).filePath(QString::fromLatin1(zr::calibration::kLibraryFileName));
    io.defaultJournalFile =
        QDir(dataDir).filePath(QString::fromLatin1(zr::journal::kJournalFileName));
    zr::ctl::ProgramRun run(invocation, platform, dataDir, std::move(io));

    QSocketNotifier terminationSignals(signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&terminationSignals, &QSocketNotifier::activated, [&run] {
        char byte = 0;
        [[maybe_unused]] const ssize_t got = ::read(signalPipe[0], &byte, 1);
        run.interrupt();
    });
    return run.exec();
}

} // namespace

int main(int argc, char** argv) {
    // A closed pipe shows as a failed write, which ends the command quietly.
    std::signal(SIGPIPE, SIG_IGN);
    QCoreApplication app(argc, argv);
    zr::ctl::installTranslations(app);
    const zr::ctl::ParsedCommandLine commandLine =
        zr::ctl::parseCommandLine(QCoreApplication::arguments());
    const QByteArray answer = commandLine.standardOutput.toLocal8Bit();
    if (!answer.isEmpty() && !writeFlushed(stdout, answer) && errno != EPIPE) {
        std::perror("zr6040ctl");
        return zr::ctl::kError;
    }
    writeFlushed(stderr, commandLine.standardError.toLocal8Bit());
    if (!commandLine.run) {
        return commandLine.exitStatus;
    }
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) != 0) {
        std::perror("zr6040ctl");
        return zr::ctl::kError;
    }
    struct sigaction action = {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);

    const zr::ctl::Invocation& invocation = commandLine.invocation;
    if (!invocation.simulate) {
        zr::hid::LinuxHidPlatform platform;
        return runOn(invocation, platform);
    }
    zr::hid::SimulatedHidBus bus;
    zr::sim::SimulatedMeter meter(bus);
    meter.device().withModel(
        [](zr::sim::MeterModel& model) { zr::sim::loadDemonstrationContents(model); });
    meter.plug();
    return runOn(invocation, bus);
}
