#pragma once

#include <QString>

namespace zr::app {

// The directory that holds the program's files (list files, library, report, user guide): the
// executable's directory when it is writable (a build tree or a portable copy), otherwise the
// per-user application data directory, created on first use with an empty calibration library.
QString chooseDataDirectory(const QString& executableDir);

// Makes `dir` the process's current directory. A failure is not reported: bare file names then
// resolve against the directory the program was started in.
void enterDataDirectory(const QString& dir);

// Copies the installed user guide into the data directory when it is not there yet, so that
// opening the guide by its bare name works for an installed program too.
void provideUserGuide(const QString& dataDir, const QString& executableDir);

inline constexpr const char* kUserGuideFile = "ZR-6040.pdf";

} // namespace zr::app
