#pragma once

#include "device/connection/ControllerContext.h"

#include <functional>

namespace zr::common {
class HandlerRegistry;
class TextGrid;
} // namespace zr::common

namespace zr::records {

// The measurement table StringGrid3: writing the current measurement into its entry row,
// deleting rows, and the header strip's commands.
class MeasurementTable {
public:
    // The header strip's sections 2 and 3 save and print the table.
    struct Commands {
        std::function<void()> saveTable;
        std::function<void()> print;
    };

    MeasurementTable(connection::ControllerContext context, common::TextGrid& grid,
                     Commands commands);

    void registerHandlers(common::HandlerRegistry& handlers);

    void HeaderControl1SectionClick(int section);

private:
    connection::ControllerContext context_;
    common::TextGrid& grid_;
    Commands commands_;
};

} // namespace zr::records
