#pragma once

#include <QString>
#include <functional>
#include <vector>

class QWidget;

namespace zr::app {

// One row of the command table: the control (menu item, tool button or header strip, by object
// name) and the handler it runs. Controls that do the same thing name the same handler.
struct CommandBinding {
    const char* control;
    const char* handler;
};

const std::vector<CommandBinding>& commandTable();

using HandlerInvoker = std::function<void(const QString& handler, int argument)>;

// Connects every control of the table found under `root` to `invoke`; the argument is the
// section index for the header strip and 0 otherwise. Returns the controls that were not found.
QStringList bindCommands(QWidget* root, const HandlerInvoker& invoke);

} // namespace zr::app
