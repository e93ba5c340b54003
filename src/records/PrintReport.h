#pragma once

#include "device/connection/ControllerContext.h"

namespace zr::common {
class HandlerRegistry;
}

namespace zr::records {

// Printing the measurement table through the HTML report "tmp1.html" and its print preview.
class PrintReport {
public:
    explicit PrintReport(connection::ControllerContext context);

    void registerHandlers(common::HandlerRegistry& handlers);

    void N15Click();

private:
    connection::ControllerContext context_;
};

} // namespace zr::records
