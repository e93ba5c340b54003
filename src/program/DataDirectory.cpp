#include "program/DataDirectory.h"

#include "calibration/LibraryFile.h"
#include "program/BuildInfo.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace zr::program {

bool isInstalledProgramDirectory(const QString& executableDir) {
    const QDir dir(executableDir);
    return dir.dirName() == QLatin1String("bin") &&
           QFileInfo(dir.filePath(QString::fromLatin1(kInstalledDataDirFromProgram))).isDir();
}

QString chooseDataDirectory(const QString& executableDir) {
    const QFileInfo exeDir(executableDir);
    if (exeDir.isDir() && exeDir.isWritable() && !isInstalledProgramDirectory(executableDir)) {
        return exeDir.absoluteFilePath();
    }
    const QString appData = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (!QFileInfo::exists(appData) && QDir().mkpath(appData)) {
        // A new user starts with an empty library rather than a missing-file message.
        QFile library(QDir(appData).filePath(QString::fromLatin1(calibration::kLibraryFileName)));
        if (library.open(QIODevice::NewOnly)) {
            library.close();
        }
    }
    return appData;
}

void provideUserGuide(const QString& dataDir, const QString& executableDir) {
    const QString name = QString::fromLatin1(kUserGuideFile);
    const QString target = QDir(dataDir).filePath(name);
    const QFileInfo existing(target);
    if (existing.exists() && !existing.isSymLink()) {
        return;
    }
    const QString installed = QDir::cleanPath(
        QDir(executableDir).filePath(QString::fromLatin1(kInstalledDocDirFromProgram)) +
        QLatin1Char('/') + name);
    if (!QFileInfo::exists(installed)) {
        return;
    }
    if (existing.isSymLink()) {
        if (existing.symLinkTarget() == installed) {
            return;
        }
        QFile::remove(target);
    }
    QFile::link(installed, target);
}

} // namespace zr::program
