#include "records/views/TablePrintPreview.h"

#include "records/ReportTexts.h"
#include "records/views/ReportPainter.h"

#include <QPrintPreviewDialog>
#include <QPrinter>

namespace zr::records {

TablePrintPreview::TablePrintPreview(QWidget* dialogParent)
    : QObject(dialogParent), dialogParent_(dialogParent) {}

void TablePrintPreview::showPreview(const common::TextGrid& table) {
    QPrintPreviewDialog dialog(dialogParent_);
    dialog.setObjectName(QStringLiteral("PrintPreview"));
    dialog.setWindowTitle(printReportTitle());
    dialog.printer()->setDocName(printReportTitle());
    connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
            [&table](QPrinter* printer) { paintReport(*printer, table); });
    emit opening(&dialog);
    dialog.exec();
}

} // namespace zr::records
