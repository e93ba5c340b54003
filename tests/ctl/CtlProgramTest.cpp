#include "calibration/LibraryFile.h"
#include "ctl/ExitStatus.h"
#include "support/WaitUntil.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <cerrno>
#include <csignal>
#include <functional>
#include <gtest/gtest.h>
#include <unistd.h>

namespace zr::ctl {
namespace {

// The built program, started as a script starts it: no display, its own data directory, an
// English locale unless the test asks for another; `prepare` sets up the rest before it starts.
class CtlProcess : public QProcess {
public:
    explicit CtlProcess(const QStringList& arguments,
                        const std::function<void(CtlProcess&)>& prepare = {},
                        const QString& language = QStringLiteral("en_US.UTF-8")) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(QStringLiteral("DISPLAY"));
        environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
        environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
        for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANGUAGE", "ZR6040_SERVER"}) {
            environment.remove(QLatin1String(name));
        }
        environment.insert(QStringLiteral("LANG"), language);
        environment.insert(QStringLiteral("XDG_DATA_HOME"), home.path());
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home.path());
        setProcessEnvironment(environment);
        if (prepare) {
            prepare(*this);
        }
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

// Every command's output is checked to the end: a full disk is an error with its reason, a reader
// that went away (a closed pipe) ends the command quietly.
TEST(CtlProgramTest, AFailedWriteOfTheOutputIsAnErrorAClosedPipeIsNot) {
    QTemporaryDir dir;
    const QString library = dir.filePath(QStringLiteral("data.zr"));
    calibration::LibraryRecord entry;
    entry.setIndex(1);
    entry.setMethod(1);
    QFile file(library);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(calibration::serializeLibrary({entry}));
    file.close();

    const QStringList commands[] = {
        {"--simulate", "status"},
        {"--simulate", "stored", "--csv"},
        {"--simulate", "calibrations", "--json"},
        {"--simulate", "info"},
        {"--simulate", "list"},
        {"--simulate", "watch", "--count", "2"},
        {"library", library},
        {"--help"},
    };
    for (const QStringList& arguments : commands) {
        SCOPED_TRACE(arguments.join(' ').toStdString());
        CtlProcess full(arguments, [](CtlProcess& ctl) {
            ctl.setStandardOutputFile(QStringLiteral("/dev/full"));
        });
        ASSERT_TRUE(full.finish());
        EXPECT_EQ(full.exitCode(), kError);
        EXPECT_TRUE(full.readAllStandardError().contains(qt_error_string(ENOSPC).toUtf8()));

        int pipe[2] = {-1, -1};
        ASSERT_EQ(::pipe(pipe), 0);
        ::close(pipe[0]);
        const int writeEnd = pipe[1];
        CtlProcess closed(arguments, [writeEnd](CtlProcess& ctl) {
            ctl.setChildProcessModifier([writeEnd] { ::dup2(writeEnd, STDOUT_FILENO); });
        });
        ::close(writeEnd);
        ASSERT_TRUE(closed.finish());
        EXPECT_EQ(closed.exitCode(), kDone);
        EXPECT_TRUE(closed.readAllStandardOutput().isEmpty());
        EXPECT_TRUE(closed.readAllStandardError().isEmpty());
    }
}

// Messages, help and the table's headers follow the locale; the JSON field names do not.
TEST(CtlProgramTest, SpeaksTheLanguageOfTheLocale) {
    const struct {
        const char* language;
        QStringList arguments;
        const char* out;
        const char* err;
    } cases[] = {
        {"ru_RU.UTF-8", {"--simulate", "status"}, "Метод", ""},
        {"en_US.UTF-8", {"--simulate", "status"}, "Method", ""},
        {"ru_RU.UTF-8", {"--simulate", "status", "--json"}, "\"method_name\": ", ""},
        {"ru_RU.UTF-8", {"frobnicate"}, "", "Неизвестная команда 'frobnicate'."},
        {"ru_RU.UTF-8", {"--help"}, "Команды:", ""},
        {"C", {"frobnicate"}, "", "Unknown command 'frobnicate'."},
        {"ru_RU.UTF-8",
         {"--simulate", "--serial", "X", "status"},
         "",
         "Прибор ZR-6040 не подключён."},
        {"ru_RU.UTF-8", {"journal", "/nonexistent/journal.sqlite"}, "", "нет такого файла"},
        {"ru_RU.UTF-8", {"sync"}, "", "Сервер журнала не настроен"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.language) + " " + c.arguments.join(' ').toStdString());
        CtlProcess ctl(c.arguments, {}, QString::fromLatin1(c.language));
        ASSERT_TRUE(ctl.finish());
        EXPECT_TRUE(
            QString::fromUtf8(ctl.readAllStandardOutput()).contains(QString::fromUtf8(c.out)));
        EXPECT_TRUE(
            QString::fromUtf8(ctl.readAllStandardError()).contains(QString::fromUtf8(c.err)));
    }
}

// A file that is appended to keeps one header (standard output with --no-header); a replaced file
// changes only when the command succeeded.
TEST(CtlProgramTest, OutputFilesKeepOneHeaderAndAFailedCommandChangesNothing) {
    QTemporaryDir dir;
    const QString appended = dir.filePath(QStringLiteral("readings.csv"));
    const QString redirected = dir.filePath(QStringLiteral("redirected.csv"));
    const QString kept = dir.filePath(QStringLiteral("status.json"));
    const QString replaced = dir.filePath(QStringLiteral("new.json"));
    QFile keptFile(kept);
    ASSERT_TRUE(keptFile.open(QIODevice::WriteOnly));
    keptFile.write("kept\n");
    keptFile.close();
    const auto appendStandardOutput = [&](CtlProcess& ctl) {
        ctl.setStandardOutputFile(redirected, QIODevice::Append);
    };
    const struct {
        QStringList arguments;
        std::function<void(CtlProcess&)> prepare;
        int status;
    } runs[] = {
        {{"--simulate", "watch", "--csv", "--count", "2", "--output", appended}, {}, kDone},
        {{"--simulate", "watch", "--csv", "--count", "2", "--output", appended}, {}, kDone},
        {{"--simulate", "watch", "--csv", "--count", "2"}, appendStandardOutput, kDone},
        {{"--simulate", "watch", "--csv", "--count", "2", "--no-header"},
         appendStandardOutput,
         kDone},
        {{"--simulate", "--serial", "NONE", "status", "--output", kept}, {}, kNoMeter},
        {{"--simulate", "status", "--json", "--output", replaced}, {}, kDone},
    };
    for (const auto& r : runs) {
        CtlProcess ctl(r.arguments, r.prepare);
        ASSERT_TRUE(ctl.finish());
        EXPECT_EQ(ctl.exitCode(), r.status) << ctl.readAllStandardError().toStdString();
        EXPECT_TRUE(ctl.readAllStandardOutput().isEmpty());
    }
    const auto contents = [](const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    for (const QString& path : {appended, redirected}) {
        const QByteArray csv = contents(path);
        EXPECT_EQ(csv.count("time,method"), 1) << path.toStdString();
        EXPECT_EQ(csv.count("\r\n"), 5) << path.toStdString();
    }
    EXPECT_EQ(contents(kept), "kept\n");
    EXPECT_TRUE(QJsonDocument::fromJson(contents(replaced)).isObject());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 4);
}

} // namespace
} // namespace zr::ctl
