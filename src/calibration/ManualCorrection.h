#pragma once

#include "device/connection/ControllerContext.h"

#include <functional>

namespace zr::common {
class HandlerRegistry;
}

namespace zr::calibration {

// The linear correction of each method, set through the dialog TForm6 and written byte by byte
// into the meter's memory.
class ManualCorrection {
public:
    ManualCorrection(connection::ControllerContext context, std::function<void()> showDialog);

    void registerHandlers(common::HandlerRegistry& handlers);

    void N32Click();

private:
    connection::ControllerContext context_;
    std::function<void()> showDialog_;
};

} // namespace zr::calibration
