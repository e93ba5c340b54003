// The window with a server configured: the status lines of the service page and the history
// window, and the one outage message, through the modules the program loads.
#include "app/MainWindow.h"
#include "app/ServicePage.h"
#include "mirror/MirrorTexts.h"
#include "mirror/ServerSettings.h"
#include "support/ProgramHarness.h"
#include "support/WaitUntil.h"

#include <QAction>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QTest>
#include <gtest/gtest.h>

namespace zr::mirror::test {
namespace {

QLabel* serverStatus(zr::test::ProgramHarness& h) {
    return h.window().servicePage()->serverStatus();
}

QWidget* openHistory(zr::test::ProgramHarness& h) {
    h.find<QAction>(QStringLiteral("historyMenuItem"))->trigger();
    return h.window().findChild<QWidget*>(QStringLiteral("historyWindow"));
}

// A server on a socket nobody listens at.
void configureUnreachableServer(zr::test::ProgramHarness& h, const QTemporaryDir& nowhere) {
    QFile settings(QDir(h.dataPath()).filePath(QString::fromLatin1(kSettingsFileName)));
    ASSERT_TRUE(settings.open(QIODevice::WriteOnly));
    settings.write(QStringLiteral("[server]\nconnection=\"host=%1 port=1 dbname=lab\"\n")
                       .arg(nowhere.path())
                       .toUtf8());
}

TEST(MirrorWindow, TheServicePageTellsWhereTheServerStands) {
    zr::test::ProgramHarness h(false);
    QTemporaryDir nowhere;
    configureUnreachableServer(h, nowhere);
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

// The history window shows what the server's status was when it opened, and follows it: here the
// rows waiting grow as the user adds one to the table.
TEST(MirrorWindow, TheHistoryWindowTellsWhereTheServerStandsAndFollowsIt) {
    zr::test::ProgramHarness h(false);
    QTemporaryDir nowhere;
    configureUnreachableServer(h, nowhere);
    h.start();
    h.window().show();
    const QString unreachable = QString::fromUtf8(kUnreachableLine).section(QLatin1Char('%'), 0, 0);
    WAIT_UNTIL(serverStatus(h)->text().startsWith(unreachable), 10000);
    const QString before = serverStatus(h)->text();

    QWidget* history = openHistory(h);
    ASSERT_NE(history, nullptr);
    auto* line = history->findChild<QLabel*>(QStringLiteral("serverStatus"));
    ASSERT_NE(line, nullptr);
    EXPECT_TRUE(line->isVisibleTo(history));
    EXPECT_EQ(line->text(), before);

    auto* header = h.find<QHeaderView>(QStringLiteral("HeaderControl1"));
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(0) + 20, header->height() / 2));
    WAIT_UNTIL(serverStatus(h)->text() != before, 10000);
    EXPECT_EQ(line->text(), serverStatus(h)->text());
}

TEST(MirrorWindow, WithoutAServerNothingChanges) {
    zr::test::ProgramHarness h;
    h.window().show();
    WAIT_PAST_POSTED_EVENTS();
    EXPECT_FALSE(serverStatus(h)->isVisibleTo(h.window().servicePage()));
    EXPECT_TRUE(serverStatus(h)->text().isEmpty());
    QWidget* history = openHistory(h);
    ASSERT_NE(history, nullptr);
    EXPECT_FALSE(history->findChild<QLabel*>(QStringLiteral("serverStatus"))->isVisibleTo(history));
    EXPECT_TRUE(h.messages.informed.isEmpty());
}

} // namespace
} // namespace zr::mirror::test
