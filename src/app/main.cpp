#include "app/CommandLine.h"
#include "app/MainWindow.h"
#include "app/Program.h"
#include "app/WindowSystemCheck.h"
#include "device/hid/linux/LinuxHidPlatform.h"
#include "device/hid/simulated/SimulatedHidBus.h"
#include "program/BuildInfo.h"
#include "program/DataDirectory.h"
#include "sim/DemonstrationContents.h"
#include "sim/MeterDevice.h"
#include "sim/MeterModel.h"
#include "sim/SimulatedMeter.h"
#include "sim/SimulatorWindow.h"
#include "ui/Icons.h"
#include "ui/KeyPreviewApplication.h"
#include "ui/MessageService.h"
#include "ui/QtTranslations.h"
#include "ui/WindowPlacement.h"

#include <QDesktopServices>
#include <QDir>
#include <QScreen>
#include <QTabWidget>
#include <QUrl>
#include <cstdio>
#include <memory>
#include <optional>

namespace {

// Runs the program on the given HID services until the main window closes.
int runProgram(zr::hid::HidPlatform& platform, const QString& dataDir,
               const std::function<void(zr::app::Program&)>& afterShow = {}) {
    zr::ui::QtMessageService messages;
    zr::app::Program program({messages, platform, dataDir, [](const QString& path) {
                                  return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
                              }});
    program.mainWindow().show();
    if (afterShow) {
        afterShow(program);
    }
    return QApplication::exec();
}

} // namespace

int main(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments << QString::fromLocal8Bit(argv[i]);
    }
    const zr::app::CommandLine commandLine = zr::app::parseCommandLine(arguments);
    std::fputs(commandLine.standardOutput.toLocal8Bit().constData(), stdout);
    std::fputs(commandLine.standardError.toLocal8Bit().constData(), stderr);
    if (!commandLine.run) {
        return commandLine.exitCode;
    }

    std::optional<zr::ui::KeyPreviewApplication> app;
    {
        const zr::app::WindowSystemCheck windowSystem;
        app.emplace(argc, argv);
    }
    QApplication::setApplicationName(QString::fromLatin1(zr::program::kProgramName));
    QApplication::setApplicationVersion(QString::fromLatin1(zr::program::kProgramVersion));
    QGuiApplication::setDesktopFileName(QString::fromLatin1(zr::program::kApplicationId));
    QApplication::setWindowIcon(zr::ui::icon(zr::ui::IconKind::Program));
    zr::ui::installQtTranslations(*app);

    const QString exeDir = QCoreApplication::applicationDirPath();
    // The program's own modules: Qt looks beside the program (a build tree) by itself.
    QCoreApplication::addLibraryPath(
        QDir(exeDir).filePath(QString::fromLatin1(zr::program::kInstalledModuleDirFromProgram)));
    const QString dataDir = zr::program::chooseDataDirectory(exeDir);
    zr::program::provideUserGuide(dataDir, exeDir);

    if (!commandLine.simulate) {
        zr::hid::LinuxHidPlatform platform;
        return runProgram(platform, dataDir);
    }

    zr::hid::SimulatedHidBus bus;
    zr::sim::SimulatedMeter meter(bus);
    meter.device().withModel(
        [](zr::sim::MeterModel& model) { zr::sim::loadDemonstrationContents(model); });
    meter.plug();
    std::unique_ptr<zr::sim::SimulatorWindow> simulator;
    return runProgram(bus, dataDir, [&](zr::app::Program& program) {
        simulator = std::make_unique<zr::sim::SimulatorWindow>(meter);
        QObject::connect(&program.mainWindow(), &QObject::destroyed, simulator.get(),
                         &QWidget::close);
        simulator->adjustSize();
        zr::app::MainWindow& mainWindow = program.mainWindow();
        const QScreen* screen = mainWindow.screen();
        // The simulator's frame is not known before it is shown; the main window's is alike.
        const QRect frame = mainWindow.frameGeometry();
        const QSize framing = frame.size() - mainWindow.geometry().size();
        const QWidget* tablePage = mainWindow.pageTabs();
        const QRect spare(tablePage->mapToGlobal(QPoint(0, 0)), tablePage->size());
        simulator->move(zr::ui::besideOrOver(frame, simulator->size() + framing,
                                             screen->availableGeometry(), spare));
        zr::ui::keepOnScreen(simulator.get());
        simulator->show();
    });
}
