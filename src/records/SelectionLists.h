#pragma once

#include "device/connection/ControllerContext.h"

#include <QString>

namespace zr::records {

// The four selection lists of the table page and their files in the data directory.
class SelectionLists {
public:
    SelectionLists(connection::ControllerContext context, QString dataDir);

    void LoadSelectionLists();
    void SaveSelectionLists();

private:
    connection::ControllerContext context_;
    QString dataDir_;
};

} // namespace zr::records
