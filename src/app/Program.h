#pragma once

#include "app/Dialogs.h"
#include "app/MainWindow.h"

#include <memory>

namespace zr::app {

// The running program: the main window, then its dialogs, created in the order the program
// starts them, and destroyed in reverse.
class Program {
public:
    explicit Program(MainWindowContext context);
    ~Program();

    MainWindow& mainWindow() { return *mainWindow_; }
    Dialogs& dialogs() { return *dialogs_; }

private:
    std::unique_ptr<MainWindow> mainWindow_;
    std::unique_ptr<Dialogs> dialogs_;
};

} // namespace zr::app
