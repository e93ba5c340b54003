#include "app/CommandTable.h"
#include "support/ProgramHarness.h"

#include <QAbstractButton>
#include <QAction>
#include <QHeaderView>
#include <QSet>
#include <gtest/gtest.h>
#include <memory>

using zr::test::ProgramHarness;

namespace {

// Every handler the command table names, each replaced by one that records its name and argument.
std::shared_ptr<QStringList> recordHandlers(ProgramHarness& h) {
    auto ran = std::make_shared<QStringList>();
    QSet<QString> names;
    for (const zr::app::CommandBinding& binding : zr::app::commandTable()) {
        names.insert(QString::fromLatin1(binding.handler));
    }
    for (const QString& name : names) {
        const QByteArray latin1 = name.toLatin1();
        EXPECT_NE(h.session().handlers().find(name), nullptr) << latin1.constData();
        h.session().handlers().add(latin1.constData(), [ran, name](int argument) {
            *ran << name + QLatin1Char('/') + QString::number(argument);
        });
    }
    return ran;
}

// Operates a control as the user would and returns the handler names it ran.
QStringList operate(ProgramHarness& h, QStringList& ran, const QString& control, int section = 0) {
    ran.clear();
    if (auto* action = h.find<QAction>(control)) {
        action->trigger();
    } else if (auto* button = h.find<QAbstractButton>(control)) {
        button->click();
    } else if (auto* header = h.find<QHeaderView>(control)) {
        emit header->sectionClicked(section);
    }
    return ran;
}

} // namespace

TEST(CommandTable, EveryControlRunsExactlyItsNamedHandler) {
    // Each menu item or tool button that does the same thing runs the same handler.
    const std::pair<const char*, const char*> expected[] = {
        {"N13", "saveTableAs"},
        {"N15", "printTable"},
        {"N32", "openManualCorrection"},
        {"N33", "addCalibrationFromLibrary"},
        {"N34", "deleteAllCalibrations"},
        {"N35", "applySelectedCalibration"},
        {"N36", "cancelCalibrationInForce"},
        {"N37", "refreshCalibrationList"},
        {"N21", "selectResearchMethod"},
        {"N22", "selectMotorMethod"},
        {"N23", "selectCetaneMethod"},
        {"N2", "storeLiveValue"},
        {"N4", "eraseStoredValues"},
        {"N5", "copyStoredValuesToTable"},
        {"N11", "fetchStoredValues"},
        {"N6", "addCalibrationFromLibrary"},
        {"N8", "deleteAllCalibrations"},
        {"N3", "applySelectedCalibration"},
        {"N24", "cancelCalibrationInForceUnchecked"},
        {"N10", "refreshCalibrationList"},
        {"ToolButton1", "storeLiveValue"},
        {"ToolButton2", "eraseStoredValues"},
        {"ToolButton4", "copyStoredValuesToTable"},
        {"ToolButton3", "fetchStoredValues"},
        {"ToolButton5", "addCalibrationFromLibrary"},
        {"ToolButton7", "deleteAllCalibrations"},
        {"ToolButton9", "applySelectedCalibration"},
        {"ToolButton14", "cancelCalibrationInForce"},
        {"ToolButton13", "refreshCalibrationList"},
    };
    ProgramHarness h;
    const std::shared_ptr<QStringList> ran = recordHandlers(h);
    for (const auto& [control, handler] : expected) {
        EXPECT_EQ(operate(h, *ran, QString::fromLatin1(control)),
                  QStringList{QString::fromLatin1(handler) + "/0"})
            << control;
    }
    for (int section = 0; section < 4; ++section) {
        EXPECT_EQ(operate(h, *ran, QStringLiteral("HeaderControl1"), section),
                  QStringList{QStringLiteral("runHeaderCommand/%1").arg(section)});
    }
}

TEST(CommandTable, EveryRowFindsItsControl) {
    ProgramHarness h;
    QWidget probe;
    // Binding the table again onto the real window reports no missing control.
    EXPECT_TRUE(zr::app::bindCommands(&h.window(), [](const QString&, int) {}).isEmpty());
    // And a window without the controls reports every row.
    EXPECT_EQ(zr::app::bindCommands(&probe, [](const QString&, int) {}).size(),
              static_cast<qsizetype>(zr::app::commandTable().size()));
}

TEST(CommandTable, ExitClosesTheMainWindow) {
    ProgramHarness h;
    h.window().show();
    ASSERT_TRUE(h.window().isVisible());
    h.find<QAction>("N17")->trigger();
    EXPECT_FALSE(h.window().isVisible());
}
