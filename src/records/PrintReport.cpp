#include "records/PrintReport.h"

#include "common/HandlerRegistry.h"

namespace zr::records {

PrintReport::PrintReport(connection::ControllerContext context) : context_(context) {}

void PrintReport::registerHandlers(common::HandlerRegistry& handlers) {
    handlers.add("N15Click", [this](int) { N15Click(); });
}

// Filled with the print report.
void PrintReport::N15Click() {}

} // namespace zr::records
