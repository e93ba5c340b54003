#pragma once

#include "common/MessageService.h"
#include "device/connection/SharedState.h"
#include "device/protocol/CommandSender.h"

namespace zr::connection {

// What the session hands every subsystem's controller: the shared state, the way to the
// meter and the way to the user.
struct ControllerContext {
    SharedState& state;
    protocol::CommandSender& commands;
    common::MessageService& messages;
};

} // namespace zr::connection
