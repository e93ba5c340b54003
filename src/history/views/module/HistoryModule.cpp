// The history module: the history window with its charts, in a module of its own so that only a
// run that opens the window loads it and Qt SVG.
#include "common/FileAccess.h"
#include "history/HistoryController.h"
#include "history/views/HistoryWindow.h"
#include "history/views/HistoryWindowBuilder.h"
#include "records/xlsx/TableWorkbook.h"

#include <QObject>
#include <QPointer>

namespace zr::history {
namespace {

class HistoryModule : public QObject, public HistoryWindowBuilder {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID ZR_HISTORY_WINDOW_BUILDER_IID)
    Q_INTERFACES(zr::history::HistoryWindowBuilder)

public:
    void show(QWidget* parent, const QString& journalPath, common::MessageService& messages,
              const std::optional<mirror::MirrorStatus>& serverStatus) override {
        if (window_ && owner_ == parent) {
            window_->refresh();
        } else {
            delete window_;
            auto* controller = new HistoryController(
                messages, HistoryExport(records::xlsxWorkbookWriter(), common::systemFiles()));
            controller->open(journalPath);
            window_ = new HistoryWindow(*controller, messages, parent);
            controller_ = controller;
            owner_ = parent;
            // Deleted with the window, after the views that show it.
            controller->setParent(window_);
        }
        if (serverStatus) {
            controller_->setServerStatus(*serverStatus);
        }
        window_->show();
        window_->raise();
        window_->activateWindow();
    }

    void showServerStatus(const mirror::MirrorStatus& status) override {
        if (controller_) {
            controller_->setServerStatus(status);
        }
    }

private:
    QPointer<HistoryWindow> window_;
    QPointer<HistoryController> controller_;
    QWidget* owner_ = nullptr;
};

} // namespace
} // namespace zr::history

#include "HistoryModule.moc"
