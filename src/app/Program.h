#pragma once

#include "app/Dialogs.h"
#include "app/MainWindow.h"
#include "session/MeterSession.h"

#include <QString>
#include <functional>
#include <memory>

namespace zr::hid {
class HidPlatform;
}

namespace zr::app {

// What the program is given by main() (or a test).
struct ProgramContext {
    common::MessageService& messages;
    // The HID services the session's HID controller works on.
    hid::HidPlatform& hidPlatform;
    // The directory of the program's files; every file is opened by its path in it.
    QString dataDir;
    // Opens a document with the desktop's default viewer; false when that fails.
    std::function<bool(const QString& path)> openDocument;
};

// The running program: the meter session, and the main window that shows it with its dialogs.
// The session starts once the window is built and finishes when the user closes the window.
class Program {
public:
    explicit Program(ProgramContext context);
    ~Program();

    session::MeterSession& session() { return *session_; }
    MainWindow& mainWindow() { return *mainWindow_; }
    Dialogs& dialogs() { return dialogs_; }

private:
    Dialogs dialogs_;
    std::unique_ptr<session::MeterSession> session_;
    std::unique_ptr<MainWindow> mainWindow_;
};

} // namespace zr::app
