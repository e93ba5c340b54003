#include "records/MeasurementTable.h"

#include "common/HandlerRegistry.h"
#include "common/TextGrid.h"

namespace zr::records {

MeasurementTable::MeasurementTable(connection::ControllerContext context, common::TextGrid& grid,
                                   Commands commands)
    : context_(context), grid_(grid), commands_(std::move(commands)) {}

void MeasurementTable::registerHandlers(common::HandlerRegistry& handlers) {
    handlers.add("HeaderControl1SectionClick",
                 [this](int section) { HeaderControl1SectionClick(section); });
}

void MeasurementTable::HeaderControl1SectionClick(int section) {
    switch (section) {
    case 2:
        if (commands_.saveTable) {
            commands_.saveTable();
        }
        break;
    case 3:
        if (commands_.print) {
            commands_.print();
        }
        break;
    default:
        // Writing and deleting rows come with the measurement table.
        break;
    }
}

} // namespace zr::records
