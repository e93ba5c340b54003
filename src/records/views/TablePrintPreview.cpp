#include "records/views/TablePrintPreview.h"

#include "records/ReportTexts.h"
#include "records/views/ReportPainter.h"

#include <QPrintPreviewDialog>
#include <QPrinter>

namespace zr::records {

TablePrintPreview::TablePrintPreview(QWidget* dialogParent)
    : QObject(dialogParent), dialogParent_(dialogParent) {}

void TablePrintPreview::showPreview(const MeasurementRows& rows) {
    QPrintPreviewDialog dialog(dialogParent_);
    dialog.setObjectName(QStringLiteral("PrintPreview"));
    dialog.setWindowTitle(printReportTitle());
    dialog.printer()->setDocName(printReportTitle());
    connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
            [&rows](QPrinter* printer) { paintReport(*printer, rows); });
    emit opening(&dialog);
    dialog.exec();
}

} // namespace zr::records
