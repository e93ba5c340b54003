#include "calibration/ManualCorrection.h"

#include "common/HandlerRegistry.h"

namespace zr::calibration {

ManualCorrection::ManualCorrection(connection::ControllerContext context,
                                   std::function<void()> showDialog)
    : context_(context), showDialog_(std::move(showDialog)) {}

void ManualCorrection::registerHandlers(common::HandlerRegistry& handlers) {
    handlers.add("N32Click", [this](int) { N32Click(); });
}

// Filled with the correction dialog.
void ManualCorrection::N32Click() {}

} // namespace zr::calibration
