#pragma once

#include "ctl/CtlText.h"
#include "mirror/ServerLink.h"
#include "mirror/ServerSettings.h"

#include <functional>
#include <memory>
#include <optional>

namespace zr::ctl {

// The journal's server as the commands reach it: the one configured, if any, and its link.
struct ServerAccess {
    std::optional<mirror::ServerSetting> setting;
    std::function<std::unique_ptr<mirror::ServerLink>()> link;
};

// Told when a command needs the server and none is configured.
inline QString noServerText() {
    return CtlText::tr("No journal server is configured: set ZR6040_SERVER, or connection= "
                       "under [server] in zr6040usb.conf.");
}

} // namespace zr::ctl
