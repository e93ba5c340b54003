#pragma once

#include "device/connection/ControllerContext.h"

namespace zr::connection {

// The user chose a measuring method: it is in force in the program at once, so that the meter
// confirming it does not count as a change, and the meter is told.
inline void selectMethod(ControllerContext& context, int method) {
    context.state.status.method = static_cast<std::uint8_t>(method);
    context.commands.selectMethod(method);
}

} // namespace zr::connection
