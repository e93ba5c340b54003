#include "app/DataDirectory.h"

#include "calibration/LibraryFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace zr::app {

QString chooseDataDirectory(const QString& executableDir) {
    const QFileInfo exeDir(executableDir);
    if (exeDir.isDir() && exeDir.isWritable()) {
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

void enterDataDirectory(const QString& dir) {
    QDir::setCurrent(dir);
}

void provideUserGuide(const QString& dataDir, const QString& executableDir) {
    const QString name = QString::fromLatin1(kUserGuideFile);
    const QString target = QDir(dataDir).filePath(name);
    if (QFileInfo::exists(target)) {
        return;
    }
    const QString installed =
        QDir(executableDir).filePath(QStringLiteral("../share/zr6040usb/") + name);
    if (QFileInfo::exists(installed)) {
        QFile::copy(installed, target);
    }
}

} // namespace zr::app
