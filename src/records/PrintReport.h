#pragma once

#include "device/connection/ControllerContext.h"

#include <QString>

namespace zr::common {
class FileAccess;
class HandlerRegistry;
} // namespace zr::common

namespace zr::records {

class MeasurementTableModel;
class PrintPreviewPort;

// Printing the measurement table: the HTML report "tmp1.html", then the print preview.
class PrintReport {
public:
    struct Ports {
        const MeasurementTableModel& table; // StringGrid3's rows
        PrintPreviewPort& preview;
        common::FileAccess& files;
        // The directory the report is written to.
        QString directory;
    };

    PrintReport(connection::ControllerContext context, Ports ports);

    void registerHandlers(common::HandlerRegistry& handlers);

    void printTable();
    // Writes the report, then shows the print preview of the table. Throws common::AppError when
    // the file cannot be written; no preview is shown then.
    void writePrintReport();

    // The full path of "tmp1.html".
    QString reportPath() const;

private:
    connection::ControllerContext context_;
    Ports ports_;
};

} // namespace zr::records
