#include "records/SelectionLists.h"

namespace zr::records {

SelectionLists::SelectionLists(connection::ControllerContext context, QString dataDir)
    : context_(context), dataDir_(std::move(dataDir)) {}

// Filled with the list files.
void SelectionLists::LoadSelectionLists() {}
void SelectionLists::SaveSelectionLists() {}

} // namespace zr::records
