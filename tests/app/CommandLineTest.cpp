#include "app/CommandLine.h"
#include "program/BuildInfo.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <gtest/gtest.h>

using zr::app::CommandLine;
using zr::app::parseCommandLine;

namespace {

CommandLine parse(QStringList arguments) {
    arguments.prepend(QStringLiteral("/usr/bin/zr6040usb"));
    return parseCommandLine(arguments);
}

const QString kVersionLine =
    QStringLiteral("zr6040usb %1\n").arg(QLatin1String(zr::program::kProgramVersion));

} // namespace

TEST(CommandLine, NoOptionOrSimulateStartsTheProgram) {
    const CommandLine plain = parse({});
    EXPECT_TRUE(plain.run);
    EXPECT_FALSE(plain.simulate);
    EXPECT_TRUE(plain.standardOutput.isEmpty());
    EXPECT_TRUE(plain.standardError.isEmpty());

    const CommandLine simulated = parse({QStringLiteral("--simulate")});
    EXPECT_TRUE(simulated.run);
    EXPECT_TRUE(simulated.simulate);
}

TEST(CommandLine, HelpAndVersionPrintAndExitWithSuccess) {
    for (const char* option : {"--help", "-h"}) {
        const CommandLine help = parse({QString::fromLatin1(option)});
        EXPECT_FALSE(help.run) << option;
        EXPECT_EQ(help.exitCode, 0);
        EXPECT_TRUE(help.standardOutput.startsWith(QStringLiteral("Usage: zr6040usb [options]\n")));
        EXPECT_TRUE(help.standardOutput.contains(QStringLiteral("--simulate")));
        EXPECT_TRUE(help.standardOutput.contains(QStringLiteral("--version")));
        EXPECT_TRUE(help.standardError.isEmpty());
    }
    for (const char* option : {"--version", "-v"}) {
        const CommandLine version = parse({QString::fromLatin1(option)});
        EXPECT_FALSE(version.run) << option;
        EXPECT_EQ(version.exitCode, 0);
        EXPECT_EQ(version.standardOutput, kVersionLine);
    }
    // Help wins over starting the simulator.
    EXPECT_FALSE(parse({QStringLiteral("--simulate"), QStringLiteral("--help")}).run);
}

TEST(CommandLine, AWrongOptionOrArgumentPrintsTheUsageToStandardErrorWithStatus2) {
    const QList<QStringList> wrong = {
        {QStringLiteral("--simulat")},
        {QStringLiteral("-simulate")}, // one dash: the short options s, i, m, ...
        {QStringLiteral("--simulate"), QStringLiteral("extra")},
        {QStringLiteral("--version=1")},
    };
    for (const QStringList& arguments : wrong) {
        const CommandLine line = parse(arguments);
        EXPECT_FALSE(line.run) << arguments.join(' ').toStdString();
        EXPECT_EQ(line.exitCode, zr::app::kUsageExitCode);
        EXPECT_TRUE(line.standardOutput.isEmpty());
        EXPECT_TRUE(line.standardError.contains(QStringLiteral("Usage:")));
        EXPECT_TRUE(line.standardError.contains(QStringLiteral("--simulate")));
    }
    EXPECT_TRUE(parse({QStringLiteral("--simulat")})
                    .standardError.startsWith(QStringLiteral("Unknown option 'simulat'.\n")));
    EXPECT_TRUE(parse({QStringLiteral("extra")})
                    .standardError.startsWith(QStringLiteral("Unexpected argument 'extra'.\n")));
}

// The built program itself, started with no display at all: it must answer before it would
// connect to a window system.
class ProgramWithoutDisplay : public ::testing::Test {
protected:
    struct Run {
        int exitCode = -1;
        QString out;
        QString err;
    };

    // `display`: the DISPLAY it is given, none when empty.
    static Run run(const QStringList& arguments, const QString& display = {}) {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
            env.remove(QString::fromLatin1(name));
        }
        if (!display.isEmpty()) {
            env.insert(QStringLiteral("DISPLAY"), display);
        }
        process.setProcessEnvironment(env);
        process.start(QStringLiteral(ZR_PROGRAM_PATH), arguments);
        EXPECT_TRUE(process.waitForFinished(30000));
        return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                QString::fromLocal8Bit(process.readAllStandardOutput()),
                QString::fromLocal8Bit(process.readAllStandardError())};
    }
};

TEST_F(ProgramWithoutDisplay, AnswersHelpVersionAndAWrongOption) {
    const Run version = run({QStringLiteral("--version")});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out, kVersionLine);
    EXPECT_EQ(version.err, QString());

    const Run help = run({QStringLiteral("--help")});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.contains(QStringLiteral("--simulate")));

    const Run wrong = run({QStringLiteral("--no-such-option")});
    EXPECT_EQ(wrong.exitCode, 2);
    EXPECT_EQ(wrong.out, QString());
    EXPECT_TRUE(wrong.err.startsWith(QStringLiteral("Unknown option 'no-such-option'.")));
    EXPECT_TRUE(wrong.err.contains(QStringLiteral("Usage:")));
}

// Qt alone would abort with its own lines (status 134) where there is no window system.
TEST_F(ProgramWithoutDisplay, StartedWithoutAWindowSystemItSaysSoInOneLineAndExitsWith1) {
    // No display at all, as over SSH, and one that no server serves.
    for (const QString& display : {QString(), QStringLiteral(":7913")}) {
        SCOPED_TRACE(display.toStdString());
        const Run started = run({}, display);
        EXPECT_EQ(started.exitCode, 1);
        EXPECT_EQ(started.out, QString());
        EXPECT_EQ(started.err.count(QLatin1Char('\n')), 1) << started.err.toStdString();
        EXPECT_TRUE(started.err.endsWith(QLatin1Char('\n')));
        EXPECT_TRUE(started.err.contains(QStringLiteral("графический сеанс")));
        EXPECT_TRUE(started.err.contains(QStringLiteral("zr6040ctl")));
    }
}
