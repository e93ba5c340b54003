#include "support/ChildTests.h"
#include "ui/KeyPreviewApplication.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

// Every test binary runs with a real application object on the offscreen platform, so that
// widget, timer and cross-thread tests behave as in the program.
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    // Whatever Qt or the program writes as settings lands in a directory of this run, never in
    // the user's own configuration.
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    ::testing::InitGoogleTest(&argc, argv);
    zr::test::leaveOutChildSuitesUnlessAChild();
    zr::ui::KeyPreviewApplication app(argc, argv);
    // The program's modules, where the build puts them beside the program.
    QCoreApplication::addLibraryPath(QStringLiteral(ZR_PROGRAM_DIR));
    return RUN_ALL_TESTS();
}
