// The window with a server configured: the service page's status line and the one outage
// message, through the module the program loads.
#include "app/MainWindow.h"
#include "app/ServicePage.h"
#include "mirror/MirrorTexts.h"
#include "mirror/ServerSettings.h"
#include "support/ProgramHarness.h"
#include "support/WaitUntil.h"

#include <QFile>
#include <QLabel>
#include <gtest/gtest.h>

namespace zr::mirror::test {
namespace {

QLabel* serverStatus(zr::test::ProgramHarness& h) {
    return h.window().servicePage()->serverStatus();
}

TEST(MirrorWindow, TheServicePageTellsWhereTheServerStands) {
    zr::test::ProgramHarness h(false);
    QTemporaryDir nowhere;
    QFile settings(QDir(h.dataPath()).filePath(QString::fromLatin1(kSettingsFileName)));
    ASSERT_TRUE(settings.open(QIODevice::WriteOnly));
    settings.write(QStringLiteral("[server]\nconnection=\"host=%1 port=1 dbname=lab\"\n")
                       .arg(nowhere.path())
                       .toUtf8());
    settings.close();
    h.start();
    // The journal, and its mirror with it, opens once the window has first painted.
    h.window().show();
    const QString server = nowhere.path() + QStringLiteral(":1/lab");
    const QString unreachable =
        QString::fromUtf8(kUnreachableLine).section(QLatin1Char('%'), 0, 0) + server;
    WAIT_UNTIL(serverStatus(h)->text().startsWith(unreachable), 10000);
    EXPECT_TRUE(serverStatus(h)->isVisibleTo(h.window().servicePage()));
    WAIT_UNTIL_EQ(h.messages.informed.size(), 1, 10000);
    EXPECT_TRUE(h.messages.informed.constFirst().startsWith(
        QString::fromUtf8(kOutageText).section(QLatin1Char('%'), 0, 0) + server));
}

TEST(MirrorWindow, WithoutAServerNothingChanges) {
    zr::test::ProgramHarness h;
    h.window().show();
    WAIT_PAST_POSTED_EVENTS();
    EXPECT_FALSE(serverStatus(h)->isVisibleTo(h.window().servicePage()));
    EXPECT_TRUE(serverStatus(h)->text().isEmpty());
    EXPECT_TRUE(h.messages.informed.isEmpty());
}

} // namespace
} // namespace zr::mirror::test
