#pragma once

#include "device/connection/ControllerContext.h"

#include <QString>

namespace zr::common {
class FileAccess;
class HandlerRegistry;
class TextGrid;
} // namespace zr::common

namespace zr::records {

class Web;

// Printing the measurement table through the HTML report "tmp1.html" and its print preview.
class PrintReport {
public:
    struct Ports {
        common::TextGrid& table; // StringGrid3
        Web& web;
        common::FileAccess& files;
        // The directory the report is written to.
        QString directory;
    };

    PrintReport(connection::ControllerContext context, Ports ports);

    void registerHandlers(common::HandlerRegistry& handlers);

    void N15Click();
    // Writes the report and starts loading it into Web. Throws common::AppError when the file
    // cannot be written; nothing is loaded then.
    void BuildPrintReport();
    // Web finished loading: opens the print preview.
    void WebNavigateComplete2();

    // The full path of "tmp1.html".
    QString reportPath() const;

private:
    connection::ControllerContext context_;
    Ports ports_;
};

} // namespace zr::records
