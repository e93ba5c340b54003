#include "app/Program.h"

namespace zr::app {

Program::Program(ProgramContext context)
    : session_(std::make_unique<session::MeterSession>(context.hidPlatform, context.dataDir,
                                                       dialogs_.sessionPorts(context.messages))) {
    mainWindow_ = std::make_unique<MainWindow>(MainWindowContext{
        *session_, dialogs_, context.messages, context.dataDir, std::move(context.openDocument)});
    dialogs_.attach(*mainWindow_, *session_);
    QObject::connect(mainWindow_.get(), &MainWindow::closed, session_.get(),
                     [session = session_.get()] { session->finish(); });
    session_->start();
}

Program::~Program() {
    // The window and its dialogs first; then the session stops the readers of its devices.
    mainWindow_.reset();
    session_.reset();
}

} // namespace zr::app
