#include "app/CommandTable.h"
#include "support/ProgramHarness.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QHeaderView>
#include <QSignalSpy>
#include <QTimer>
#include <gtest/gtest.h>

using zr::test::ProgramHarness;

namespace {

// Operates a control as the user would and returns the handler names it ran.
QStringList operate(ProgramHarness& h, const QString& control, int section = 0) {
    // Controls that open a modal dialog wait for it: it is closed as soon as it is up.
    QTimer closeModal;
    closeModal.setInterval(10);
    QObject::connect(&closeModal, &QTimer::timeout, [] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            dialog->reject();
        }
    });
    closeModal.start();
    // What an earlier control left queued (a print's loaded page) runs first.
    QCoreApplication::processEvents();
    QSignalSpy spy(&h.session(), &zr::session::MeterSession::handlerInvoked);
    if (auto* action = h.find<QAction>(control)) {
        action->trigger();
    } else if (auto* button = h.find<QAbstractButton>(control)) {
        button->click();
    } else if (auto* header = h.find<QHeaderView>(control)) {
        emit header->sectionClicked(section);
    }
    QStringList names;
    for (const auto& call : spy) {
        names << call.at(0).toString() + QLatin1Char('/') + QString::number(call.at(1).toInt());
    }
    return names;
}

} // namespace

TEST(CommandTable, EveryControlRunsExactlyItsNamedHandler) {
    // Each menu item or tool button that does the same thing runs the same handler.
    const std::pair<const char*, const char*> expected[] = {
        {"N13", "N13Click"},
        {"N15", "N15Click"},
        {"N32", "N32Click"},
        {"N33", "ToolButton5Click"},
        {"N34", "ToolButton7Click"},
        {"N35", "ToolButton9Click"},
        {"N36", "ToolButton14Click"},
        {"N37", "ToolButton13Click"},
        {"N21", "N21Click"},
        {"N22", "N22Click"},
        {"N23", "N23Click"},
        {"N2", "ToolButton1Click"},
        {"N4", "ToolButton2Click"},
        {"N5", "ToolButton4Click"},
        {"N11", "ToolButton3Click"},
        {"N6", "ToolButton5Click"},
        {"N8", "ToolButton7Click"},
        {"N3", "ToolButton9Click"},
        {"N24", "N24Click"},
        {"N10", "ToolButton13Click"},
        {"ToolButton1", "ToolButton1Click"},
        {"ToolButton2", "ToolButton2Click"},
        {"ToolButton4", "ToolButton4Click"},
        {"ToolButton3", "ToolButton3Click"},
        {"ToolButton5", "ToolButton5Click"},
        {"ToolButton7", "ToolButton7Click"},
        {"ToolButton9", "ToolButton9Click"},
        {"ToolButton14", "ToolButton14Click"},
        {"ToolButton13", "ToolButton13Click"},
    };
    ProgramHarness h;
    for (const auto& [control, handler] : expected) {
        EXPECT_EQ(operate(h, QString::fromLatin1(control)),
                  QStringList{QString::fromLatin1(handler) + "/0"})
            << control;
    }
    for (int section = 0; section < 4; ++section) {
        EXPECT_EQ(operate(h, QStringLiteral("HeaderControl1"), section),
                  QStringList{QStringLiteral("HeaderControl1SectionClick/%1").arg(section)});
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
