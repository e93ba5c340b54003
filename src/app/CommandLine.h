#pragma once

#include <QString>
#include <QStringList>

namespace zr::app {

// What the command line asks for. It is parsed before any window system connection, so that
// --help, --version and a wrong option answer without a display (over SSH, in a package check).
struct CommandLine {
    bool run = false; // false: print the texts below and exit with exitCode
    int exitCode = 0;
    bool simulate = false;
    QString standardOutput;
    QString standardError;
};

// Exit status for a command line the program does not understand.
inline constexpr int kUsageExitCode = 2;

// `arguments` starts with the program's name, as argv does.
CommandLine parseCommandLine(const QStringList& arguments);

} // namespace zr::app
