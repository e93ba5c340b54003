#include "app/CommandTable.h"

#include <QAbstractButton>
#include <QAction>
#include <QHeaderView>
#include <QWidget>

namespace zr::app {

const std::vector<CommandBinding>& commandTable() {
    static const std::vector<CommandBinding> table = {
        // Main menu
        {"N13", "saveTableAs"},
        {"N15", "printTable"},
        {"N17", "exitProgram"},
        {"N32", "openManualCorrection"},
        {"N33", "addCalibrationFromLibrary"},
        {"N34", "deleteAllCalibrations"},
        {"N35", "applySelectedCalibration"},
        {"N36", "cancelCalibrationInForce"},
        {"N37", "refreshCalibrationList"},
        {"N21", "selectResearchMethod"},
        {"N22", "selectMotorMethod"},
        {"N23", "selectCetaneMethod"},
        {"N29", "openUserGuide"},
        {"N30", "showAboutBox"},
        {"historyMenuItem", "openHistoryWindow"},
        // Context menu of the stored values
        {"N2", "storeLiveValue"},
        {"N4", "eraseStoredValues"},
        {"N5", "copyStoredValuesToTable"},
        {"N11", "fetchStoredValues"},
        // Context menu of the calibration list
        {"N6", "addCalibrationFromLibrary"},
        {"N8", "deleteAllCalibrations"},
        {"N3", "applySelectedCalibration"},
        {"N24", "cancelCalibrationInForceUnchecked"},
        {"N10", "refreshCalibrationList"},
        // Tool bars
        {"ToolButton1", "storeLiveValue"},
        {"ToolButton2", "eraseStoredValues"},
        {"ToolButton4", "copyStoredValuesToTable"},
        {"ToolButton3", "fetchStoredValues"},
        {"ToolButton5", "addCalibrationFromLibrary"},
        {"ToolButton7", "deleteAllCalibrations"},
        {"ToolButton9", "applySelectedCalibration"},
        {"ToolButton14", "cancelCalibrationInForce"},
        {"ToolButton13", "refreshCalibrationList"},
        // Header strip above the measurement table
        {"HeaderControl1", "runHeaderCommand"},
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
