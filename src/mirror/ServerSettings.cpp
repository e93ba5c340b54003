#include "mirror/ServerSettings.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace zr::mirror {

namespace {

std::optional<ServerSetting> fromFile(const QString& path) {
    if (!QFileInfo(path).isFile()) {
        return std::nullopt;
    }
    const QSettings settings(path, QSettings::IniFormat);
    // An unquoted value with commas (several hosts) reads as a list.
    const QString connection =
        settings.value(QStringLiteral("server/connection")).toStringList().join(QLatin1Char(','));
    if (connection.trimmed().isEmpty()) {
        return std::nullopt;
    }
    return ServerSetting{connection, path};
}

} // namespace

std::optional<ServerSetting> configuredServer(const QString& dataDir) {
    const QString variable = qEnvironmentVariable(kServerVariable);
    if (!variable.trimmed().isEmpty()) {
        return ServerSetting{variable, QString::fromLatin1(kServerVariable)};
    }
    const QString fileName = QString::fromLatin1(kSettingsFileName);
    QStringList files{QDir(dataDir).filePath(fileName)};
    const QString userConfig =
        QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (!userConfig.isEmpty()) {
        files << QDir(userConfig).filePath(QStringLiteral("zr6040usb/") + fileName);
    }
    for (const QString& path : files) {
        if (auto setting = fromFile(path)) {
            return setting;
        }
    }
    return std::nullopt;
}

} // namespace zr::mirror
