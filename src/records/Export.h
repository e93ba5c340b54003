#pragma once

#include "device/connection/ControllerContext.h"

namespace zr::common {
class HandlerRegistry;
}

namespace zr::records {

// Saving the measurement table or the stored values as a workbook or a text file.
class Export {
public:
    explicit Export(connection::ControllerContext context);

    void registerHandlers(common::HandlerRegistry& handlers);

    void N13Click();
    // "Сохранить таблицу" of the header strip.
    void SaveTable();

private:
    connection::ControllerContext context_;
};

} // namespace zr::records
