#pragma once

#include <QString>
#include <optional>

namespace zr::mirror {

// The environment variable that names the server, ahead of any settings file.
inline constexpr const char* kServerVariable = "ZR6040_SERVER";
// The settings file the program reads (never writes), in the data directory or in
// $XDG_CONFIG_HOME/zr6040usb/; its key [server] connection holds a libpq connection string.
inline constexpr const char* kSettingsFileName = "zr6040usb.conf";

struct ServerSetting {
    // The libpq connection string, as given.
    QString connection;
    // Where it was found: the variable's name or the file's path.
    QString origin;
};

// The server the journal is mirrored to: ZR6040_SERVER when set, else the settings file in
// `dataDir`, else the one in the user's configuration directory; none when no server is named.
std::optional<ServerSetting> configuredServer(const QString& dataDir);

} // namespace zr::mirror
