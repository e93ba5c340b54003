#include "app/MainWindow.h"

#include "app/ServiceCommands.h"
#include "app/ServicePage.h"
#include "device/connection/MethodSelection.h"

#include <QLineEdit>

namespace zr::app {

void MainWindow::registerHandlers() {
    handlers_.add("N29Click", [this](int) { N29Click(); });
    handlers_.add("N30Click", [this](int) { N30Click(); });
    handlers_.add("ExitClick", [this](int) { close(); });
    const std::pair<const char*, int> methodItems[] = {
        {"N21Click", 1}, {"N22Click", 2}, {"N23Click", 3}};
    for (const auto& [name, method] : methodItems) {
        handlers_.add(name, [this, method = method](int) {
            connection::ControllerContext context = controllerContext();
            connection::selectMethod(context, method);
        });
    }
    handlers_.add("Button1Click", [this](int) { serviceCommands_->Button1Click(); });
    handlers_.add("Button2Click",
                  [this](int) { serviceCommands_->Button2Click(servicePage_->edit2()->text()); });
    handlers_.add("Button3Click", [this](int) { serviceCommands_->Button3Click(); });
}

} // namespace zr::app
