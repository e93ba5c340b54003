#pragma once

#include "records/PrintReportFormat.h"
#include "records/Web.h"

#include <QObject>
#include <functional>
#include <optional>

class QPrintPreviewDialog;
class QWidget;

namespace zr::records {

// Web: loads the print report and opens Qt's print preview of it, from which the user prints to
// a printer or a PDF file. Loading completes from the event loop, never inside Navigate.
class ReportPreviewWeb : public QObject, public Web {
    Q_OBJECT
public:
    explicit ReportPreviewWeb(QWidget* dialogParent);

    // Called when a navigation has completed (NavigateComplete2).
    void setNavigateComplete(std::function<void()> handler) { complete_ = std::move(handler); }

    void Navigate(const QString& url) override;
    // Print preview with prompt-user: shows the preview modally; false when no page is loaded.
    bool ExecWB(int command, int option) override;

    const std::optional<ReportPage>& page() const { return page_; }

signals:
    // The preview is about to be shown.
    void previewOpening(QPrintPreviewDialog* dialog);

private:
    QWidget* dialogParent_;
    std::function<void()> complete_;
    std::optional<ReportPage> page_;
};

} // namespace zr::records
