#pragma once

#include "records/PrintPreviewPort.h"

#include <QObject>

class QPrintPreviewDialog;
class QWidget;

namespace zr::records {

// Qt's print preview of the measurement table, modal, painted by paintReport; from it the user
// prints to a printer or a PDF file.
class TablePrintPreview : public QObject, public PrintPreviewPort {
    Q_OBJECT
public:
    explicit TablePrintPreview(QWidget* dialogParent);

    void showPreview(const MeasurementRows& rows) override;

signals:
    // The preview is about to be shown.
    void opening(QPrintPreviewDialog* dialog);

private:
    QWidget* dialogParent_;
};

} // namespace zr::records
