#pragma once

// What the benchmarks that run the real program share: message boxes that answer without a
// screen, the program with the meter simulator plugged in, and a main that gives Qt its
// application object on the offscreen platform.

#include "app/MainWindow.h"
#include "app/Program.h"
#include "common/MessageService.h"
#include "device/hid/simulated/SimulatedHidBus.h"
#include "sim/SimulatedMeter.h"
#include "ui/KeyPreviewApplication.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <functional>
#include <memory>

namespace zr::bench {

class SilentMessages : public common::MessageService {
public:
    void inform(const QString&) override {}
    void showError(const QString&) override {}
    bool confirm(const QString&) override { return true; }
};

// The real main window, shown offscreen, with the simulated meter attached; the meter sends
// only the reports a benchmark asks for.
struct ProgramRig {
    ProgramRig() : meter(bus) {
        meter.setStatusInterval(0);
        meter.plug();
        program = std::make_unique<app::Program>(
            app::ProgramContext{messages, bus, dir.path(), [](const QString&) { return true; }});
        window().show();
        while (!session().state().currentDevice) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        }
    }
    app::MainWindow& window() { return program->mainWindow(); }
    session::MeterSession& session() { return program->session(); }

    hid::SimulatedHidBus bus;
    sim::SimulatedMeter meter;
    SilentMessages messages;
    QTemporaryDir dir;
    std::unique_ptr<app::Program> program;
};

// Runs the benchmarks with an application object; `beforeExit` releases what they kept.
inline int runQtBenchmarks(int argc, char** argv, const std::function<void()>& beforeExit = {}) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    ui::KeyPreviewApplication app(argc, argv);
    ::benchmark::Initialize(&argc, argv);
    ::benchmark::RunSpecifiedBenchmarks();
    ::benchmark::Shutdown();
    if (beforeExit) {
        beforeExit();
    }
    return 0;
}

} // namespace zr::bench
