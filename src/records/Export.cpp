#include "records/Export.h"

#include "common/HandlerRegistry.h"

namespace zr::records {

Export::Export(connection::ControllerContext context) : context_(context) {}

void Export::registerHandlers(common::HandlerRegistry& handlers) {
    handlers.add("N13Click", [this](int) { N13Click(); });
}

// Filled with the export.
void Export::N13Click() {}
void Export::SaveTable() {}

} // namespace zr::records
