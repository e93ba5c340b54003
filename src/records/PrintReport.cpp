#include "records/PrintReport.h"

#include "common/AppError.h"
#include "common/HandlerRegistry.h"
#include "common/FileAccess.h"
#include "records/PrintPreviewPort.h"
#include "records/PrintReportFormat.h"

#include <QDir>

namespace zr::records {

PrintReport::PrintReport(connection::ControllerContext context, Ports ports)
    : context_(context), ports_(std::move(ports)) {}

void PrintReport::registerHandlers(common::HandlerRegistry& handlers) {
    handlers.add("N15Click", [this](int) { N15Click(); });
}

void PrintReport::N15Click() {
    BuildPrintReport();
}

QString PrintReport::reportPath() const {
    return QDir(ports_.directory).absoluteFilePath(QString::fromLatin1(kPrintReportFile));
}

void PrintReport::BuildPrintReport() {
    const QString path = reportPath();
    const QString failure = ports_.files.replace(path, printReportBytes(ports_.table));
    if (!failure.isEmpty()) {
        throw common::AppError(common::cannotCreateFileMessage(path, failure));
    }
    ports_.preview.showPreview(ports_.table);
}

} // namespace zr::records
