#include "support/ChildTests.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// A program without widgets: only a core application, and this target links no Qt Widgets.
int main(int argc, char** argv) {
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    ::testing::InitGoogleTest(&argc, argv);
    zr::test::leaveOutChildSuitesUnlessAChild();
    QCoreApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
