#include "ctl/ExitStatus.h"
#include "support/WaitUntil.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>

namespace zr::ctl {
namespace {

// The built program, started as a script starts it: no display, its own data directory.
class CtlProcess : public QProcess {
public:
    explicit CtlProcess(const QStringList& arguments) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(QStringLiteral("DISPLAY"));
        environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
        environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
        environment.insert(QStringLiteral("XDG_DATA_HOME"), home.path());
        setProcessEnvironment(environment);
        start(QStringLiteral(ZR6040CTL_PATH), arguments);
    }
    bool finish() { return waitForFinished(30000) && exitStatus() == QProcess::NormalExit; }

    QTemporaryDir home;
};

TEST(CtlProgramTest, VersionNeedsNoDisplay) {
    CtlProcess ctl({QStringLiteral("--version")});
    ASSERT_TRUE(ctl.finish());
    EXPECT_EQ(ctl.exitCode(), kDone);
    EXPECT_EQ(ctl.readAllStandardOutput(), QByteArray("zr6040ctl " ZR_VERSION "\n"));
}

TEST(CtlProgramTest, UsageErrorsGoToStandardErrorWithStatus2) {
    for (const QStringList& arguments :
         {QStringList{QStringLiteral("frobnicate")}, QStringList{QStringLiteral("--bogus")},
          QStringList{QStringLiteral("method"), QStringLiteral("X")}}) {
        CtlProcess ctl(arguments);
        ASSERT_TRUE(ctl.finish());
        EXPECT_EQ(ctl.exitCode(), kUsage);
        EXPECT_TRUE(ctl.readAllStandardOutput().isEmpty());
        EXPECT_TRUE(ctl.readAllStandardError().contains("\nUsage: zr6040ctl [options]"));
    }
}

TEST(CtlProgramTest, SimulatedStatusAsJson) {
    CtlProcess ctl(
        {QStringLiteral("--simulate"), QStringLiteral("status"), QStringLiteral("--json")});
    ASSERT_TRUE(ctl.finish());
    EXPECT_EQ(ctl.exitCode(), kDone);
    const QJsonObject status = QJsonDocument::fromJson(ctl.readAllStandardOutput()).object();
    EXPECT_EQ(status.value(QStringLiteral("method_name")),
              QStringLiteral("Исследовательский метод"));
    EXPECT_EQ(status.value(QStringLiteral("stored_count")), 3);
}

// A pipe sees each line at once, and SIGINT leaves the last line whole.
TEST(CtlProgramTest, InterruptedWatchEndsCleanlyAfterAWholeLine) {
    for (const int signal : {SIGINT, SIGTERM}) {
        CtlProcess ctl(
            {QStringLiteral("--simulate"), QStringLiteral("watch"), QStringLiteral("--json")});
        WAIT_UNTIL(ctl.canReadLine(), 20000);
        ::kill(static_cast<pid_t>(ctl.processId()), signal);
        ASSERT_TRUE(ctl.finish());
        EXPECT_EQ(ctl.exitCode(), kDone);
        const QByteArray out = ctl.readAllStandardOutput();
        ASSERT_TRUE(out.endsWith('\n'));
        for (const QByteArray& line : out.trimmed().split('\n')) {
            EXPECT_TRUE(QJsonDocument::fromJson(line).isObject()) << line.toStdString();
        }
        EXPECT_TRUE(ctl.readAllStandardError().isEmpty());
    }
}

} // namespace
} // namespace zr::ctl
