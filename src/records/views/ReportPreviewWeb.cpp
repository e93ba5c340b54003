#include "records/views/ReportPreviewWeb.h"

#include "records/views/ReportPainter.h"

#include <QFile>
#include <QPrintPreviewDialog>
#include <QPrinter>

namespace zr::records {

ReportPreviewWeb::ReportPreviewWeb(QWidget* dialogParent)
    : QObject(dialogParent), dialogParent_(dialogParent) {}

void ReportPreviewWeb::Navigate(const QString& url) {
    QFile file(url);
    page_.reset();
    if (file.open(QIODevice::ReadOnly)) {
        page_ = readReportPage(file.readAll());
    }
    // A page that cannot be read completes too (as an empty page); the preview then fails.
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (complete_) {
                complete_();
            }
        },
        Qt::QueuedConnection);
}

bool ReportPreviewWeb::ExecWB(int command, int option) {
    if (command != kPrintPreview || option != kPromptUser || !page_) {
        return false;
    }
    const ReportPage page = *page_;
    QPrintPreviewDialog dialog(dialogParent_);
    dialog.setObjectName(QStringLiteral("PrintPreview"));
    dialog.setWindowTitle(page.title);
    dialog.printer()->setDocName(page.title);
    connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
            [&page](QPrinter* printer) { paintReportPage(*printer, page); });
    emit previewOpening(&dialog);
    dialog.exec();
    return true;
}

} // namespace zr::records
