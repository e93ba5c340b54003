#include "records/PrintReport.h"

#include "common/AppError.h"
#include "common/FileAccess.h"
#include "common/HandlerRegistry.h"
#include "records/MeasurementTableModel.h"
#include "records/PrintPreviewPort.h"
#include "records/PrintReportFormat.h"

#include <QDir>

namespace zr::records {

PrintReport::PrintReport(connection::ControllerContext context, Ports ports)
    : context_(context), ports_(std::move(ports)) {}

void PrintReport::registerHandlers(common::HandlerRegistry& handlers) {
    handlers.add("printTable", [this](int) { printTable(); });
}

void PrintReport::printTable() {
    writePrintReport();
}

QString PrintReport::reportPath() const {
    return QDir(ports_.directory).absoluteFilePath(QString::fromLatin1(kPrintReportFile));
}

void PrintReport::writePrintReport() {
    const QString path = reportPath();
    const QString failure = ports_.files.replace(path, printReportBytes(ports_.table.rows()));
    if (!failure.isEmpty()) {
        throw common::AppError(common::cannotCreateFileMessage(path, failure));
    }
    ports_.preview.showPreview(ports_.table.rows());
}

} // namespace zr::records
