#include "app/DataDirectory.h"

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
    QDir().mkpath(appData);
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
