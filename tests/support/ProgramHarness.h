#pragma once

#include "app/Program.h"
#include "device/hid/simulated/SimulatedHidBus.h"
#include "support/FakeMessageService.h"

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>

namespace zr::test {

// The real program (main window and dialogs) on the offscreen platform and a simulated HID
// bus, with a fresh data
// directory, message boxes recorded and the document viewer replaced by a recorder.
class ProgramHarness {
public:
    // With start = false the test prepares the bus first and calls start() itself.
    explicit ProgramHarness(bool startNow = true) {
        if (startNow) {
            start();
        }
    }

    void start() {
        // A new user's data directory holds an empty library; tests that want none remove it
        // before starting.
        if (createLibraryFile) {
            QFile library(QDir(dataPath()).filePath(QStringLiteral("data.zr")));
            if (!library.exists() && library.open(QIODevice::WriteOnly)) {
                library.close();
            }
        }
        app::ProgramContext context{messages, bus, dataPath(), [this](const QString& path) {
                                        openedDocuments << path;
                                        return viewerWorks;
                                    }};
        program = std::make_unique<app::Program>(std::move(context));
    }

    app::MainWindow& window() { return program->mainWindow(); }
    session::MeterSession& session() { return program->session(); }
    // The fresh directory, or the one a test gave in `sharedDataDir` to start a program on the
    // files an earlier one left.
    QString dataPath() const { return sharedDataDir.isEmpty() ? dataDir.path() : sharedDataDir; }
    template <typename T> T* find(const QString& name) { return window().findChild<T*>(name); }

    // Declared first so that it outlives the program's devices.
    hid::SimulatedHidBus bus;
    FakeMessageService messages;
    QTemporaryDir dataDir;
    QString sharedDataDir;
    QStringList openedDocuments;
    bool viewerWorks = true;
    bool createLibraryFile = true;
    std::unique_ptr<app::Program> program;
};

} // namespace zr::test
