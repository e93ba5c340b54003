#include "app/CommandTable.h"

#include <QAbstractButton>
#include <QAction>
#include <QHeaderView>
#include <QWidget>

namespace zr::app {

const std::vector<CommandBinding>& commandTable() {
    static const std::vector<CommandBinding> table = {
        // Main menu
        {"N13", "N13Click"},
        {"N15", "N15Click"},
        {"N17", "ExitClick"},
        {"N32", "N32Click"},
        {"N33", "ToolButton5Click"},
        {"N34", "ToolButton7Click"},
        {"N35", "ToolButton9Click"},
        {"N36", "ToolButton14Click"},
        {"N37", "ToolButton13Click"},
        {"N21", "N21Click"},
        {"N22", "N22Click"},
        {"N23", "N23Click"},
        {"N29", "N29Click"},
        {"N30", "N30Click"},
        // Context menu of the stored values
        {"N2", "ToolButton1Click"},
        {"N4", "ToolButton2Click"},
        {"N5", "ToolButton4Click"},
        {"N11", "ToolButton3Click"},
        // Context menu of the calibration list
        {"N6", "ToolButton5Click"},
        {"N8", "ToolButton7Click"},
        {"N3", "ToolButton9Click"},
        {"N24", "N24Click"},
        {"N10", "ToolButton13Click"},
        // Tool bars
        {"ToolButton1", "ToolButton1Click"},
        {"ToolButton2", "ToolButton2Click"},
        {"ToolButton4", "ToolButton4Click"},
        {"ToolButton3", "ToolButton3Click"},
        {"ToolButton5", "ToolButton5Click"},
        {"ToolButton7", "ToolButton7Click"},
        {"ToolButton9", "ToolButton9Click"},
        {"ToolButton14", "ToolButton14Click"},
        {"ToolButton13", "ToolButton13Click"},
        // Header strip above the measurement table
        {"HeaderControl1", "HeaderControl1SectionClick"},
    };
    return table;
}

QStringList bindCommands(QWidget* root, const HandlerInvoker& invoke) {
    QStringList missing;
    for (const CommandBinding& row : commandTable()) {
        const QString control = QString::fromLatin1(row.control);
        const QString handler = QString::fromLatin1(row.handler);
        if (auto* action = root->findChild<QAction*>(control)) {
            QObject::connect(action, &QAction::triggered, root,
                             [invoke, handler] { invoke(handler, 0); });
        } else if (auto* button = root->findChild<QAbstractButton*>(control)) {
            QObject::connect(button, &QAbstractButton::clicked, root,
                             [invoke, handler] { invoke(handler, 0); });
        } else if (auto* header = root->findChild<QHeaderView*>(control)) {
            QObject::connect(header, &QHeaderView::sectionClicked, root,
                             [invoke, handler](int section) { invoke(handler, section); });
        } else {
            missing << control;
        }
    }
    return missing;
}

} // namespace zr::app
