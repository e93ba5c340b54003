#include "app/WindowSystemCheck.h"

#include <QString>
#include <QtGlobal>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <vector>

namespace zr::app {

namespace {

constexpr char kNeedsGraphicalSession[] =
    "zr6040usb: программе нужен графический сеанс (X11 или Wayland), а дисплей недоступен; без "
    "него с прибором работает zr6040ctl (см. man zr6040ctl).\n";

struct HeldMessage {
    QtMsgType type;
    // Qt's categories, files and functions are string literals: the pointers stay valid.
    const char* file;
    int line;
    const char* function;
    const char* category;
    QString text;
};

std::mutex heldMutex;
std::vector<HeldMessage> held;
QtMessageHandler passedOn = nullptr;

void holdOrExit(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtFatalMsg) {
        // The only fatal message while the application object is built: no platform plug-in
        // could be opened. Nothing of the program runs yet, so nothing is lost by leaving here.
        std::fputs(kNeedsGraphicalSession, stderr);
        std::fflush(stderr);
        std::_Exit(kNoWindowSystemExitCode);
    }
    const std::lock_guard lock(heldMutex);
    held.push_back({type, context.file, context.line, context.function, context.category, text});
}

} // namespace

WindowSystemCheck::WindowSystemCheck() {
    passedOn = qInstallMessageHandler(holdOrExit);
}

WindowSystemCheck::~WindowSystemCheck() {
    qInstallMessageHandler(passedOn);
    std::vector<HeldMessage> messages;
    {
        const std::lock_guard lock(heldMutex);
        messages.swap(held);
    }
    for (const HeldMessage& m : messages) {
        const QMessageLogContext context(m.file, m.line, m.function, m.category);
        passedOn(m.type, context, m.text);
    }
}

} // namespace zr::app
