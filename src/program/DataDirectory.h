#pragma once

#include <QString>

namespace zr::program {

// The directory that holds the program's files (list files, library, report, user guide): the
// executable's directory when it is writable and not an installed program's directory (a build
// tree or a portable copy), otherwise the per-user application data directory, created on first
// use with an empty calibration library. An installed program run by root must not write into
// /usr/bin.
QString chooseDataDirectory(const QString& executableDir);

// True when `executableDir` is the bin directory of an installation prefix (its sibling share
// directory exists), as /usr/bin, /usr/local/bin or ~/.local/bin are.
bool isInstalledProgramDirectory(const QString& executableDir);

// Links the installed user guide (share/doc/zr6040usb/ beside the installed program's bin) into
// the data directory, so that the guide is found there for an installed program too and follows
// package upgrades. A guide file the user put there is left alone.
void provideUserGuide(const QString& dataDir, const QString& executableDir);

inline constexpr const char* kUserGuideFile = "ZR-6040.pdf";

} // namespace zr::program
